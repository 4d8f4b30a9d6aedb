#include <allegro.h>

#include "core/clock.h"
#include "core/state.h"
#include "display/screen.h"
#include "core/resources.h"
#include "input/keys.h"
#include "frontend/screens.h"

// The name rises 1.5 pixels a frame to y 110, stands, then rises on out.
int splash_rise(int frame) {
  if (frame <= 80) return frame * 120 / 80;
  if (frame <= 159) return 120;
  return (frame * 120 - 9600) / 80;
}

void enter_splash() { loop_num = 0; }

void splash_frame() {
  if (key[KEY_ESC]) set_state(STATE_TITLE);
  if (key_down_now(b_f)) set_state(STATE_TITLE);
  start_time = timer;
  const int d = splash_rise(loop_num);
  const int white = makecol(255, 255, 255);
  textprintf_centre_ex(buffer, lrg_txt, 160, 230 - d, white, -1, "Tavelo");
  textprintf_centre_ex(buffer, reg_txt, 160, 270 - d, white, -1, "presents");
  end_menu_frame();
}

void run_splash() {
  while (loop_num < 280 && game_state == STATE_SPLASH) splash_frame();
}
