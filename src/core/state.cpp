#include "core/state.h"

std::atomic<int> game_state{STATE_SPLASH};
std::atomic<bool> close_requested{false};

void quit_game() {
  close_requested.store(true);
  game_state.store(STATE_QUIT);
}

// The flag is read after the store: if the close button came in between,
// its 6 is written again; if it comes later, its own store of 6 stands.
void set_state(int state) {
  game_state.store(state);
  if (close_requested.load()) game_state.store(STATE_QUIT);
}
