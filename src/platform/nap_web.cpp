#include <allegro.h>

#include "platform/nap.h"

// The page's code runs only while the game sleeps, and the library's rest is
// the one sleep that lets it: the canvas shown, keys and the timer caught
// up. Browsers wake a sleeping page no sooner than about a millisecond.
void nap_us(unsigned int us) { rest(us < 1000 ? 1 : us / 1000); }

// The library's rest in a page ends just after the timer's callback due in
// its last millisecond: a frame's wait is that one rest.
const unsigned int rest_margin_ms = 0;

void begin_fine_timing() {}
void end_fine_timing() {}
