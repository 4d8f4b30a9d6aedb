#include "display/window.h"

#include <allegro.h>

#include "core/state.h"
#include "display/screen.h"
#include "input/keys.h"
#include "platform/desktop.h"
#include "platform/report.h"

bool (*request_window)(int width, int height) = request_gfx_window;
bool (*request_fullscreen)() = open_fullscreen_window;
int (*fullscreen_from_outside)() = fullscreen_changed_outside;
bool window_lost = false;
bool fullscreen = false;
bool fullscreen_at_start = false;

bool request_gfx_window(int width, int height) {
  return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0;
}

bool open_window(int size, int fallback) {
  const bool was_full = fullscreen;
  if (fullscreen) leave_fullscreen_window();
  fullscreen = false;
  const int sizes[2] = {size, fallback};
  int tried = size;
  for (int i = 0; i < (size == fallback ? 1 : 2); i++) {
    tried = sizes[i];
    if (request_window(320 * (1 + tried), 240 * (1 + tried))) {
      scrn_size = tried;
      if (was_full) restore_window_place();
      window_opened();
      return true;
    }
  }
  report_line("cannot open a %dx%d 32-bit window: %s", 320 * (1 + tried), 240 * (1 + tried),
              allegro_error);
  window_lost = true;
  return false;
}

bool set_fullscreen(bool on) {
  if (!on) return !fullscreen || open_window(scrn_size, scrn_size);
  if (fullscreen) return true;
  keep_window_place();
  if (!request_fullscreen()) {
    // Refused before the window was touched, or the old window went with
    // the refused mode: then it is opened again.
    if (!screen) open_window(scrn_size, scrn_size);
    return false;
  }
  fullscreen = true;
  window_opened();
  return true;
}

void switch_on_request() {
  static bool f11_held = false, alt_enter_held = false;
  const bool f11_is_ours = game_state != STATE_CONTROLS && b_l != KEY_F11 && b_r != KEY_F11 &&
                           b_u != KEY_F11 && b_d != KEY_F11 && b_f != KEY_F11 && b_p != KEY_F11;
  const bool f11 = f11_is_ours && key[KEY_F11];
  const bool alt_enter = (key[KEY_ALT] || key[KEY_ALTGR]) && key[KEY_ENTER];
  if ((f11 && !f11_held) || (alt_enter && !alt_enter_held)) set_fullscreen(!fullscreen);
  const int outside = fullscreen_from_outside();
  if (outside != 0 && (outside > 0) != fullscreen) set_fullscreen(outside > 0);
  f11_held = f11;
  alt_enter_held = alt_enter;
  if (window_lost) quit_game();  // no window of any kind: out, saving as ever
}
