// The options menu and the difficulty menu.
#include <allegro.h>

#include "core/clock.h"
#include "core/state.h"
#include "display/screen.h"
#include "field/grid.h"
#include "field/rise.h"
#include "frontend/menu.h"
#include "frontend/screens.h"

// ty is kept: coming back from a sub-screen, the marker stands on its entry.
void enter_options(menu &m) {
  rebuild_menu(m, {{"SOUND [N/A]", STATE_SOUND, 0},
                   {"SCREEN SIZE", STATE_SCREEN_SIZE, 0},
                   {"GAME DIFFICULTY", STATE_DIFFICULTY, 0},
                   {"CONTOLS", STATE_CONTROLS, 0},
                   {"BACK", STATE_TITLE, 0}});
}

void options_frame(menu &m) {
  if (key[KEY_ESC] && loop_num > 50) set_state(STATE_TITLE);
  read_menu_keys(m, ty);
  if (fire_accepted()) set_state(m.entries[ty].value);
  draw_heading("OPTIONS");
  draw_menu_list(m, 100, ty);
  end_menu_frame();
}

void run_options(menu &m) {
  while (game_state == STATE_OPTIONS) options_frame(m);
}

void enter_difficulty(menu &m) {
  rebuild_menu(m, {{"Easy", 1, rise_divisor(1)}, {"Normal", 2, rise_divisor(2)}, {"Hard", 3, rise_divisor(3)}});
  tx = mode == 1 ? 0 : mode == 2 ? 1 : 2;  // the marker starts on the current difficulty
}

void difficulty_frame(menu &m) {
  if (key[KEY_ESC]) set_state(STATE_OPTIONS);
  read_menu_keys(m, tx);
  if (fire_accepted()) {
    mode = m.entries[tx].value;
    spd = m.entries[tx].param;
    set_state(STATE_OPTIONS);
  }
  draw_heading("DIFFICULTY");
  draw_menu_list(m, 110, tx);
  end_menu_frame();
}

void run_difficulty(menu &m) {
  while (game_state == STATE_DIFFICULTY) difficulty_frame(m);
}
