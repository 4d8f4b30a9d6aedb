// The minute of play in the measured session.
#pragma once
#include <string>

#include "xharness.h"

// Plays from the game's first frame for play_ms: aims at the biggest group
// and fires about once a second, pauses at 25 s and resumes 4 s later.
// With shots_dir set, saves a screenshot there every 5 s. Returns the shots
// fired; stops early when the field has ended the game.
struct play_result {
  int shots = 0;
  bool lost = false;  // the field ended the game before play_ms
  long long played_ms = 0;
};
play_result play_game(xvfb_server &server, x_window window, int play_ms, const std::string &shots_dir);
