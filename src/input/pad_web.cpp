// Pads in the browser: the page's gamepads, which the library's browser
// joystick driver reads (tools/web/webjoy.c). Browsers lay a pad out in
// the Gamepad API's "standard" mapping: button 0 south, 1 east, 8 back,
// 9 start, 12-15 the d-pad up, down, left, right, axes 0 and 1 the left
// stick; a pad of no known mapping is taken as laid out the same way.
#include <allegro.h>
#include <emscripten.h>

#include "input/pad.h"

// The pads the page has now (the browser shows a page a pad only once one
// of its buttons was pressed); 0 where it may read none.
EM_JS(int, pads_in_page, (), {
  try {
    const pads = navigator.getGamepads ? navigator.getGamepads() : [];
    let count = 0;
    for (const pad of pads) count += !!(pad && pad.connected);
    return count;
  } catch (e) {
    return 0;
  }
});

static void install_pads() {
  remove_joystick();
  if (pads_in_page() == 0 || install_joystick(JOY_TYPE_AUTODETECT) != 0) return;
  pad_layout standard;
  standard.south = 0;
  standard.east = 1;
  standard.select = 8;
  standard.start = 9;
  standard.up = 12;
  standard.down = 13;
  standard.left = 14;
  standard.right = 15;
  standard.stick_x = {0, 0};
  standard.stick_y = {0, 1};
  for (int n = 0; n < num_joysticks && n < MAX_PADS; n++) pad_layouts[n] = standard;
}

void find_pads() {
  if (pads_in_page() != num_joysticks) install_pads();
}

bool read_pads() {
  if (num_joysticks == 0 || poll_joystick() == 0) return true;
  install_pads();  // the pads still there, without the one gone
  return false;
}
