// Start-up, the top-level loop and the quit sequence.
#pragma once

class menu;

// Brings the library up and loads everything; false (after printing what
// failed) when the game cannot run.
bool start_up(menu &m);
// Saves both files and releases everything.
void quit_sequence(menu &m);
extern bool saved_on_quit;  // both files were written by the quit sequence

// The whole program: start-up, the state machine, quit. Returns the exit
// status: 0, or 1 when the game could not start, lost its window or could
// not save a file.
int run_program();
