// The window soak's player: a random walk over the real game's screens with
// a fixed seed. In a game it presses the six bound keys and Esc at random
// (pauses resume by a fresh press of the pause key, games end on their own
// or by Esc); in the menus it mostly heads for START and now and then runs
// errands: the difficulty, the window size, the controls (binding the six
// actions to the same six keys in a new order) and the sound entry.
// Esc is never pressed on the title, where after a second it quits.
#pragma once
#include <random>
#include <vector>

#include "game_driver.h"
#include "window_screens.h"

struct walk_tally {
  int games = 0, titles = 0, pauses = 0, escapes = 0;
  int difficulty_picks = 0, size_changes = 0, rebinds = 0, sound_picks = 0;
};

struct walker {
  std::mt19937 rng;
  unsigned long key_for[6] = {};  // the X key bound to up, down, left, right, fire, pause
  int mode = 2;                   // the difficulty last picked
  int size = 0;                   // the window size the game is at
  screen current = screen::unknown;
  long long entered_ms = 0;       // when the current screen came up
  std::vector<int> errands;       // options entries this trip from the title is for
  int pick = 0;                   // difficulty entry to pick
  long long give_up_ms = 0;       // when the current game is ended with Esc
  unsigned long new_key_for[6] = {};
  int binding = -1;               // the action whose new key was last pressed
  int wanted_size = -1;           // when set, every trip goes to make the size this
  walk_tally tally;
};

void walk_start(walker &w, unsigned seed);
// Looks at the picture and presses what the player would.
void walk_step(game_session &s, walker &w, const rgb_image &picture);
// The scancode the game stores for an X key of the six.
int scancode_of(unsigned long keysym);
