// The page's touch controls hold down the key an action is bound to, as
// that key would be held; they ask here which, at each press, since
// CONTROLS may have bound it anew.
#include <allegro.h>
#include <emscripten.h>

#include "input/keys.h"

// 0 up, 1 down, 2 left, 3 right, 4 fire, 5 pause, 6 back (Esc); 0 for anything else.
extern "C" EMSCRIPTEN_KEEPALIVE int kv_bound_key(int action) {
  const int bound[7] = {b_u, b_d, b_l, b_r, b_f, b_p, ESC_SCANCODE};
  return action >= 0 && action < 7 ? bound[action] : 0;
}
