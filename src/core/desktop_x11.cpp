#include "core/desktop.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <allegro/platform/aintunix.h>
#include <xalleg.h>

#include "window_icon.xpm.h"

extern "C" void *allegro_icon;  // the library's window icon, an XPM

std::atomic<bool> focus_lost{false};

// Allegro's X thread, started by allegro_init, wakes every millisecond and
// every ten reads the window's events (keys too) and sends the picture; a
// thousand wake-ups a second cost more than drawing a menu. Born with a
// timer slack of 4 ms it wakes a few hundred times; more slack delays keys
// on screen: at 9 ms p95 key-to-screen was 2.9-5 ms over no slack; at 4 ms
// mean and p95 were at most 0.5 and 1.0 ms over it, the thread's CPU
// 0.8-1.2 % against 1.7-1.9 % (bench/measure-latency.sh). The timer thread and the
// frame wait, started later, keep the usual slack and their precision.
#ifndef KV_X_TIMER_SLACK_US  // the measurement build may try another
#define KV_X_TIMER_SLACK_US 4000
#endif
int start_library() {
  const int usual = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  prctl(PR_SET_TIMERSLACK, KV_X_TIMER_SLACK_US * 1000UL, 0, 0, 0);  // 0: back to the usual
  const int result = allegro_init();
  if (usual > 0) prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(usual), 0, 0, 0);
  return result;
}

// Without a display Allegro finds no system driver at all, and says nothing.
void explain_no_display(char *what, std::size_t size) {
  const char *display = std::getenv("DISPLAY");
  if (display && *display)
    std::snprintf(what, size, "no connection to the X display \"%s\"", display);
  else
    std::snprintf(what, size, "no X display (DISPLAY is not set)");
}

static void on_focus_lost() { focus_lost.store(true); }

void name_window() {
  allegro_icon = const_cast<char **>(krove_vestin);
  xwin_set_window_name("krove-vestin", "krove-vestin");
}

void title_window() {
  set_window_title("Krove Vestin");
  set_display_switch_callback(SWITCH_OUT, on_focus_lost);
}

// A keycode the library has no key for maps to -1.
std::vector<int> keys_not_held(const char (&keymap)[32], const int (&to_scancode)[256],
                               const volatile char *keys) {
  bool held[KEY_MAX] = {};
  for (int code = 0; code < 256; code++) {
    const int sc = to_scancode[code];
    if ((keymap[code / 8] >> (code % 8)) & 1 && sc > 0 && sc < KEY_MAX) held[sc] = true;
  }
  std::vector<int> loose;
  for (int sc = 1; sc < KEY_MAX; sc++)
    if (keys[sc] && !held[sc]) loose.push_back(sc);
  return loose;
}

// A key let go while the window is being re-made sends its release to
// another window, and would stay down for the game.
void window_opened() {
  if (!_xwin.display) return;
  XLOCK();
  char keymap[32] = {};
  XQueryKeymap(_xwin.display, keymap);
  for (int sc : keys_not_held(keymap, _xwin.keycode_to_scancode, key)) _handle_key_release(sc);
  XUNLOCK();
}
