#include "app/game_screen.h"

#include <allegro.h>

#include "core/clock.h"
#include "platform/desktop.h"
#include "input/pad.h"
#include "core/state.h"
#include "display/screen.h"
#include "field/notices.h"
#include "field/rise.h"
#include "render/band.h"
#include "render/effects.h"
#include "render/field_draw.h"

void connect_field() {
  notice_score = create_msg;
  notice_powerup = splash;
  notice_level_up = show_level;
}

// A focus or a pad lost in the menus is no reason to pause the new game.
void enter_game() {
  new_game();
  focus_lost = pad_lost = false;
}

void game_frame() {
  start_time = timer;
  if (key[KEY_ESC]) game_over = true;
  game_update();
  draw_field();
  run_sparks();
  run_texts();
  present_buffer();
  pause_step();
  game_over_step();
  if (loop_num == 0) show_level();  // every game opens with its level banner
  wait_frame();
  loop_num++;
  if (mode >= 1 && mode <= 3) scroll_t += mode;
}

void run_game() {
  while (game_state == STATE_GAME) game_frame();
}
