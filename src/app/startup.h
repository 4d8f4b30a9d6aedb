// Start-up, the top-level loop and the quit sequence.
#pragma once

class menu;

// Brings the library up and loads everything; false (after printing what
// failed) when the game cannot run.
bool start_up(menu &m);
void quit_sequence(menu &m);

// The whole program: start-up, the state machine, quit. Returns the exit status.
int run_program();
