// The test's side of the stand-in pads (standin_pad.cpp, preloaded into the
// game): a pad plugged in and pulled out, what it sends, and the game's
// keys played on it.
#pragma once
#include <string>
#include <vector>

#include "game_driver.h"

// The environment that shows the game the pads of folder dir.
std::vector<std::string> standin_pad_env(const std::string &dir);

// The axis and button codes of a pad, as its driver reports them, and which
// of its buttons and axes play the game's keys.
struct pad_model {
  std::vector<int> axes, buttons;
  int a, b, start, x_axis, y_axis;
};
extern const pad_model xbox_pad;    // as the kernel's xpad numbers it: the d-pad a hat
extern const pad_model stick_pad;   // a stick and four buttons, no d-pad

// A pad at /dev/input/jsN: the pipe DIR/jsN while it is plugged in.
struct test_pad {
  std::string node;
  int fd = -1;  // the test's end of the pipe
  pad_model model;
  ~test_pad();
};
bool plug_pad(test_pad &pad, const std::string &dir, int number, const pad_model &model);
void pull_out_pad(test_pad &pad);
bool send_axis(test_pad &pad, int axis, int value);
bool send_button(test_pad &pad, int button, bool down);

// The keys of the steps in game_steps.h played on the pad: space A,
// Escape B, 1 Start, the arrows its d-pad (or stick); the picture is the
// window's.
struct pad_keys : game_io {
  game_session &s;
  test_pad &pad;
  pad_keys(game_session &session, test_pad &on) : s(session), pad(on) {}
  bool key_down(unsigned long keysym) override { return press(keysym, true); }
  bool key_up(unsigned long keysym) override { return press(keysym, false); }
  bool grab(rgb_image &image) override;
  bool press(unsigned long keysym, bool down);
};
