// Windows has no quit signals for a program with a window; what ends it
// from outside is the end of the session: logging off, shutting down or
// restarting. The library's window does not answer those messages, and the
// process is ended soon after the last one, so the files are saved there.
#include <allegro.h>
#include <winalleg.h>

#include "app/last_save.h"
#include "app/quit_signals.h"
#include "core/state.h"

// Runs on the library's window thread, the game's thread anywhere in a
// frame. 0: handled here, with *result as the answer.
static int on_session_end(HWND, UINT message, WPARAM wparam, LPARAM, int *result) {
  if (message == WM_QUERYENDSESSION) {
    *result = TRUE;  // the game never holds the session up
    return 0;
  }
  if (message == WM_ENDSESSION) {
    if (wparam) {  // the session does end: after this answer the process may go at any moment
      save_before_the_end();
      quit_game();
    }
    *result = 0;
    return 0;
  }
  return 1;
}

void install_quit_signals() { win_set_msg_pre_proc(on_session_end); }

// Nothing arrives from outside once the game is on its way out.
void hold_quit_signals() {}

// A Windows display does not go away under a running program; the end of
// the session is handled above.
void watch_display() {}
