// Logging out, closing the terminal or Ctrl+C: signals that ask the game to
// end, taken as a click on the close button so the quit sequence saves.
#pragma once

// SIGTERM, SIGHUP and SIGINT become a close request.
void install_quit_signals();
// Holds back further ones in the game's thread while the program ends.
void hold_quit_signals();

// The display going away (X: the connection lost, the game's window
// destroyed) saves both files as the quit sequence would, says so in one
// line and ends the program with status 1.
void watch_display();
