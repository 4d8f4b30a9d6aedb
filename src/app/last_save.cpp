#include "app/last_save.h"

#include "core/clock.h"
#include "core/state.h"
#include "field/rise.h"
#include "frontend/screens.h"
#include "store/scores.h"
#include "store/settings.h"

std::atomic<int> save_stage{SAVE_NOTHING_LOADED};
static std::atomic<bool> both_saved{false};

bool save_both_files() {
  int stage = SAVE_NOT_BEGUN;
  if (save_stage.compare_exchange_strong(stage, SAVE_UNDER_WAY)) {
    const bool settings_saved = save_settings();
    both_saved = save_highscores() && settings_saved;
    save_stage = SAVE_DONE;
  }
  while (stage == SAVE_UNDER_WAY && save_stage.load() != SAVE_DONE) nap_us(1000);
  return stage != SAVE_NOTHING_LOADED && both_saved;
}

bool save_before_the_end() {
  if (game_over && game_state == STATE_GAME) record_score();
  return save_both_files();
}

bool save_meanwhile() {
  if (save_stage.load() != SAVE_NOT_BEGUN) return false;
  if (game_over && game_state == STATE_GAME) record_score();
  const bool settings_saved = save_settings();
  return save_highscores() && settings_saved;
}
