// The X display going away under the game: the server stopped at logout,
// XWayland ended with its session, an ssh link dropped, or another program
// destroyed the game's window. Xlib's own handlers end the process at once,
// losing the session's settings and best scores; these save them first.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

#include "app/last_save.h"
#include "app/quit_signals.h"

// Runs on whichever thread met the end, the library's X thread as a rule,
// while the game's thread may be anywhere in a frame: no X or library call
// here, and never a return, since Xlib cannot go on.
[[noreturn]] static void save_and_end(const char *what) {
  const bool saved = save_before_the_end();
  std::fprintf(stderr, "krove-vestin: %s; %s\n", what,
               saved ? "settings and scores saved" : "not everything could be saved");
  std::fflush(stderr);
  _exit(1);  // exit() would run the library's shutdown, which talks to X
}

static int on_display_lost(Display *) { save_and_end("the display went away"); }

// The names of the core protocol errors, without asking Xlib (which may
// itself talk to the server).
static const char *error_name(int code) {
  static const char *const names[] = {
      "Success",   "BadRequest", "BadValue",    "BadWindow",      "BadPixmap",
      "BadAtom",   "BadCursor",  "BadFont",     "BadMatch",       "BadDrawable",
      "BadAccess", "BadAlloc",   "BadColor",    "BadGC",          "BadIDChoice",
      "BadName",   "BadLength",  "BadImplementation"};
  return code >= 0 && code < static_cast<int>(sizeof names / sizeof *names) ? names[code]
                                                                              : "an extension's error";
}

// Xlib's default ends the program on any protocol error; so does this, after
// saving. The one a player meets is BadWindow: the window destroyed under us.
static int on_x_error(Display *, XErrorEvent *e) {
  char what[96];
  std::snprintf(what, sizeof what, "the game's window was lost (X error %d, %s)",
                static_cast<int>(e->error_code), error_name(e->error_code));
  save_and_end(what);
}

void watch_display() {
  XSetIOErrorHandler(on_display_lost);
  XSetErrorHandler(on_x_error);
}
