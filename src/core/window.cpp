#include "core/window.h"

#include <allegro.h>


#include "core/desktop.h"
#include "core/report.h"
#include "core/screen.h"

bool (*request_window)(int width, int height) = request_gfx_window;
bool window_lost = false;

bool request_gfx_window(int width, int height) {
  return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0;
}

bool open_window(int size, int fallback) {
  const int sizes[2] = {size, fallback};
  int tried = size;
  for (int i = 0; i < (size == fallback ? 1 : 2); i++) {
    tried = sizes[i];
    if (request_window(320 * (1 + tried), 240 * (1 + tried))) {
      scrn_size = tried;
      window_opened();
      return true;
    }
  }
  report_line("cannot open a %dx%d 32-bit window: %s", 320 * (1 + tried), 240 * (1 + tried),
              allegro_error);
  window_lost = true;
  return false;
}
