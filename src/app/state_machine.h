// The top-level pass over the screens.
#pragma once

class menu;

// Runs, in their fixed order, the blocks of the screens whose state
// game_state holds. Returns true once the quit sequence has run.
bool run_pass(menu &m);
