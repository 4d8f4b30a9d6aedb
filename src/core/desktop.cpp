#include "core/desktop.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>
#include <xalleg.h>

void release_unheld_keys() {
  if (!_xwin.display) return;
  XLOCK();
  char held_codes[32] = {};
  XQueryKeymap(_xwin.display, held_codes);
  bool held[KEY_MAX] = {};
  for (int code = 0; code < 256; code++) {
    const int sc = _xwin.keycode_to_scancode[code];
    if ((held_codes[code / 8] >> (code % 8)) & 1 && sc > 0 && sc < KEY_MAX) held[sc] = true;
  }
  for (int sc = 1; sc < KEY_MAX; sc++)
    if (key[sc] && !held[sc]) _handle_key_release(sc);
  XUNLOCK();
}
