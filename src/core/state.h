// Which screen runs, and the request to quit that may come from outside the
// game's thread (the close button).
#pragma once
#include <atomic>

extern std::atomic<int> game_state;  // current screen; 6 means quit

constexpr int STATE_SPLASH = -3;
constexpr int STATE_SOUND = -2;
constexpr int STATE_SCREEN_SIZE = -1;
constexpr int STATE_TITLE = 0;
constexpr int STATE_OPTIONS = 1;
constexpr int STATE_CONTROLS = 2;
constexpr int STATE_DIFFICULTY = 3;
constexpr int STATE_GAME = 4;
constexpr int STATE_GAME_OVER = 5;
constexpr int STATE_QUIT = 6;

// Set by the close button, never cleared: the program is on its way out.
extern std::atomic<bool> close_requested;

void quit_game();  // close-button callback

// Every write of game_state from the game goes through here, so that a
// close request is never lost to a key handled in the same frame: once
// the window has been closed, the state stays 6 whatever the game writes.
void set_state(int state);
