// The game-over screen with the best score of each difficulty.
#include <allegro.h>

#include "core/state.h"
#include "display/screen.h"
#include "core/resources.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "render/blend.h"
#include "store/scores.h"

static void raise_best(int &best) {
  if (score > best) best = score;  // only a strictly higher score replaces it
}

void record_score() {
  if (mode == 1) raise_best(highscore_e);
  if (mode == 2) raise_best(highscore_n);
  if (mode == 3) raise_best(highscore_h);
}

void enter_game_over(menu &m) {
  rebuild_menu(m, {{"Return to title", STATE_TITLE, 0}});
  record_score();
}

static void draw_table() {
  const int white = makecol(255, 255, 255);
  trans_rect(buffer, 60, 95, 260, 145, makecol(0, 0, 0), 2);
  textprintf_ex(buffer, reg_txt, 70, 100, white, -1, "HARD:");
  textprintf_ex(buffer, reg_txt, 70, 115, white, -1, "NORMAL:");
  textprintf_ex(buffer, reg_txt, 70, 130, white, -1, "EASY:");
  textprintf_right_ex(buffer, reg_txt, 250, 100, white, -1, "%i", highscore_h);
  textprintf_right_ex(buffer, reg_txt, 250, 115, white, -1, "%i", highscore_n);
  textprintf_right_ex(buffer, reg_txt, 250, 130, white, -1, "%i", highscore_e);
  rect(buffer, 60, 95, 260, 145, white);
}

void game_over_frame(menu &m) {
  if (key[KEY_ESC]) set_state(STATE_TITLE);
  read_menu_keys(m, ty);
  ty = 0;  // the single entry stays selected
  if (fire_accepted()) set_state(m.entries[0].value);
  draw_heading("HIGH SCORES");
  draw_table();
  draw_menu_list(m, 165, 0);
  end_menu_frame();
}

void run_game_over(menu &m) {
  while (game_state == STATE_GAME_OVER) game_over_frame(m);
}
