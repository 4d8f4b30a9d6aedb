#include "core/desktop.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>
#include <xalleg.h>

#include "window_icon.xpm.h"

extern "C" void *allegro_icon;  // the library's window icon, an XPM

std::atomic<bool> focus_lost{false};

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

void release_unheld_keys() {
  if (!_xwin.display) return;
  XLOCK();
  char keymap[32] = {};
  XQueryKeymap(_xwin.display, keymap);
  for (int sc : keys_not_held(keymap, _xwin.keycode_to_scancode, key)) _handle_key_release(sc);
  XUNLOCK();
}
