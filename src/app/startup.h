// Start-up, the top-level loop and the quit sequence.
#pragma once

class menu;

// Brings the library up and loads everything; false (after printing what
// failed) when the game cannot run.
bool start_up(menu &m);
// The part of start-up after the library and its first window are up: the
// pictures and fonts, the field, the settings and the window they ask for
// (320x240 when 640x480 is refused), the best scores.
bool load_game(menu &m);
// Saves both files and releases everything.
void quit_sequence(menu &m);
extern bool saved_on_quit;  // both files were written by the quit sequence

// 0 after a quit that saved both files, 1 when a file could not be saved
// or no window could be had.
int exit_status();

// What the command line asks for: to play ("--fullscreen" or nothing), an
// answer on stdout ("--help", "--version"), or nothing the game knows (said
// in one line).
enum class command_line { play, answered, not_understood };
command_line read_options(int argc, char **argv);

// The whole program: start-up, the state machine, quit. Returns the exit
// status: 0 for a question answered, 2 for a command line not understood, 1
// when the game could not start, else exit_status().
int run_program(int argc, char **argv);
