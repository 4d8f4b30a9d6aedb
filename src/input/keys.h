// Key bindings and the press-and-repeat reading of held keys.
#pragma once

extern int b_l, b_r, b_u, b_d, b_f, b_p;  // scancodes: left, right, up, down, fire, pause
extern bool key_up, key_down, key_left, key_right;  // held-key latches
extern int t_up, t_down, t_left, t_right;           // repeat phases, 8 while the key is up

constexpr int KEY_TABLE_SIZE = 127;  // scancodes 0..126 are the keys a binding may hold
constexpr int ESC_SCANCODE = 59;

bool key_down_now(int scancode);  // false for anything outside the key table
// Fires in the frame the key goes down and every 8 frames while it is held.
bool poll_repeat_key(int scancode, bool &latch, int &phase);
