#include <allegro.h>

#include "core/clock.h"
#include "core/state.h"
#include "display/screen.h"
#include "core/resources.h"
#include "input/keys.h"
#include "frontend/menu.h"
#include "frontend/screens.h"

int bind_step = 0;
int bind_countdown = 0;

static int *const step_binding[6] = {&b_u, &b_d, &b_l, &b_r, &b_f, &b_p};
static const char *const step_name[6] = {"up", "down", "left", "right", "fire", "pause"};

void enter_controls() {
  bind_step = 0;
  bind_countdown = 30;
}

// Every key down in the frame is taken, lowest scancode first, one action
// each; Esc can never be bound.
static void take_keys() {
  for (int sc = 0; sc < KEY_TABLE_SIZE; sc++) {
    if (sc == ESC_SCANCODE) continue;
    if (key[sc] && bind_step <= 5) {
      *step_binding[bind_step] = sc;
      bind_step++;
      bind_countdown = 30;
    }
  }
}

void controls_frame() {
  if (key[KEY_ESC]) set_state(STATE_OPTIONS);
  start_time = timer;
  draw_heading("CONTROLS");
  textprintf_centre_ex(buffer, reg_txt, 160, 120, makecol(255, 255, 255), -1, "press %s",
                       step_name[bind_step <= 5 ? bind_step : 5]);
  if (bind_countdown <= 0) take_keys();
  bind_countdown--;
  end_menu_frame();
}

// The close button ends this screen too, like every other.
void run_controls() {
  while (!key[KEY_ESC] && bind_step <= 5 && game_state != STATE_QUIT) controls_frame();
}
