#include "input/keys.h"

#include <allegro.h>

#include "core/clock.h"

int b_l = KEY_LEFT, b_r = KEY_RIGHT, b_u = KEY_UP, b_d = KEY_DOWN, b_f = KEY_SPACE, b_p = KEY_1;
bool key_up = false, key_down = false, key_left = false, key_right = false;
int t_up = 0, t_down = 0, t_left = 0, t_right = 0;

bool key_down_now(int scancode) {
  return scancode >= 0 && scancode < KEY_TABLE_SIZE && key[scancode];
}

bool poll_repeat_key(int scancode, bool &latch, int &phase) {
  const bool down = key_down_now(scancode);
  if (!down) {
    phase = 8;
    latch = false;
  }
  if (down && !latch) {
    latch = true;
    phase = loop_num % 8;
  }
  return loop_num % 8 == phase;
}
