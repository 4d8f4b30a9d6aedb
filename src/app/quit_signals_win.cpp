// Windows has no quit signals for a program with a window; what ends it
// from outside is the end of the session: logging off, shutting down or
// restarting. The library's window does not answer those messages (the
// desktop answers them for the game, platform/desktop_win.cpp), and the process
// is ended soon after the last one, so the files are saved there.
#include "app/last_save.h"
#include "app/quit_signals.h"
#include "core/state.h"
#include "platform/desktop.h"

// On the library's window thread, the game's thread anywhere in a frame.
static void save_and_quit() {
  save_before_the_end();
  quit_game();
}

void install_quit_signals() { on_session_end = save_and_quit; }

// Nothing arrives from outside once the game is on its way out.
void hold_quit_signals() {}

// A Windows display does not go away under a running program; the end of
// the session is handled above.
void watch_display() {}
