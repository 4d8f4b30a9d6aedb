// Which of the game's screens a window picture shows, for the window soak's
// random walk (the checks themselves are the window tests' game_screens.h).
#pragma once
#include "xharness.h"

enum class screen {
  unknown,  // the splash, or between two screens
  title,
  options,
  difficulty,
  controls,
  size_changed,
  game,         // the live game
  pause,        // the pause overlay
  band,         // a band over the game: level or game-over banner, pause opening
  high_scores,
};

screen classify(const rgb_image &picture);
const char *screen_name(screen s);
// The six actions in the order the controls screen asks for them.
const char *action_name(int action);  // "up", "down", "left", "right", "fire", "pause"
// The action the controls screen asks for, or -1.
int asked_action(const rgb_image &picture);
