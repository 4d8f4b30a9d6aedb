#include "app/last_save.h"

#include "core/state.h"
#include "field/rise.h"
#include "frontend/screens.h"
#include "platform/nap.h"
#include "store/scores.h"
#include "store/settings.h"

std::atomic<int> save_stage{SAVE_NOTHING_LOADED};
static std::atomic<bool> both_saved{false};

// The scores are tried whatever became of the settings.
static bool write_both_files() {
  const bool settings_saved = save_settings();
  return save_highscores() && settings_saved;
}

// Ended from outside the game's thread: a game that has ended, its banner
// under way, counts as after a close; a game in play does not.
static void count_a_finished_game() {
  if (game_over && game_state == STATE_GAME) record_score();
}

bool save_both_files() {
  int stage = SAVE_NOT_BEGUN;
  if (save_stage.compare_exchange_strong(stage, SAVE_UNDER_WAY)) {
    both_saved = write_both_files();
    save_stage = SAVE_DONE;
  }
  while (stage == SAVE_UNDER_WAY && save_stage.load() != SAVE_DONE) nap_us(1000);
  return stage != SAVE_NOTHING_LOADED && both_saved;
}

bool save_before_the_end() {
  count_a_finished_game();
  return save_both_files();
}

bool save_meanwhile() {
  if (save_stage.load() != SAVE_NOT_BEGUN) return false;
  count_a_finished_game();
  return write_both_files();
}
