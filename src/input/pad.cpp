#include "input/pad.h"

#include <allegro.h>

#include "core/state.h"
#include "input/keys.h"

pad_layout pad_layouts[MAX_PADS];
bool pad_lost = false;

static bool pads_started = false;
static int look_in = 0;  // presented frames until the next look for pads
static bool pressed_by_pad[KEY_TABLE_SIZE];

void start_pads() {
  pads_started = true;
  find_pads();
  look_in = 50;
}

// About once a second: a pad plugged in plays within two. Without pads a
// frame costs a countdown.
bool time_to_look() {
  if (--look_in > 0) return false;
  look_in = 50;
  return true;
}

// A pad gone is lost to the game whichever finds it first: on Windows and
// in the browser the look for pads lists them anew, and a pad pulled out
// just before it would otherwise never be missed by the frame's read.
void poll_pads() {
  if (!pads_started) return;
  const int before = num_joysticks;
  if (time_to_look()) find_pads();
  if (!read_pads() || num_joysticks < before) pad_lost = true;
  hold_pad_keys();
}

static bool held(const JOYSTICK_INFO &j, int button) {
  return button >= 0 && button < j.num_buttons && j.button[button].b;
}

// Past half its travel towards sign: the library's positions run -128 to 128.
static bool pushed(const JOYSTICK_INFO &j, const pad_axis &a, int sign) {
  return a.stick >= 0 && a.stick < j.num_sticks && a.axis < j.stick[a.stick].num_axis &&
         sign * j.stick[a.stick].axis[a.axis].pos >= 64;
}

static void want_key(bool (&want)[KEY_TABLE_SIZE], int scancode, bool down) {
  if (down && scancode > 0 && scancode < KEY_TABLE_SIZE) want[scancode] = true;
}

static void want_pad_keys(const JOYSTICK_INFO &j, const pad_layout &l, bool (&want)[KEY_TABLE_SIZE]) {
  want_key(want, ESC_SCANCODE, held(j, l.east) || held(j, l.select));
  if (game_state == STATE_CONTROLS) return;
  want_key(want, b_u, held(j, l.up) || pushed(j, l.hat_y, -1) || pushed(j, l.stick_y, -1));
  want_key(want, b_d, held(j, l.down) || pushed(j, l.hat_y, 1) || pushed(j, l.stick_y, 1));
  want_key(want, b_l, held(j, l.left) || pushed(j, l.hat_x, -1) || pushed(j, l.stick_x, -1));
  want_key(want, b_r, held(j, l.right) || pushed(j, l.hat_x, 1) || pushed(j, l.stick_x, 1));
  want_key(want, b_f, held(j, l.south));
  want_key(want, b_p, held(j, l.start));
}

void hold_pad_keys() {
  bool want[KEY_TABLE_SIZE] = {};
  for (int n = 0; n < num_joysticks && n < MAX_PADS; n++) want_pad_keys(joy[n], pad_layouts[n], want);
  for (int sc = 1; sc < KEY_TABLE_SIZE; sc++) {
    if (want[sc] && !key[sc]) {
      key[sc] = -1;  // as the library marks a key down
      pressed_by_pad[sc] = true;
    } else if (!want[sc] && pressed_by_pad[sc]) {
      key[sc] = 0;
      pressed_by_pad[sc] = false;
    }
  }
}
