#include <windows.h>

#include "platform/nap.h"

const unsigned int rest_margin_ms = 3;

// Windows rounds every sleep, the library's 1 ms timer thread's too, up to
// its 15.6 ms tick unless a program asks for 1 ms; without it the game
// would run at 32 frames a second. A sleep shorter than that tick is a
// millisecond, so the last quarter-millisecond naps of a frame wait end up
// to a millisecond after its tick.
void nap_us(unsigned int us) { Sleep(us < 1000 ? 1 : us / 1000); }

void begin_fine_timing() { timeBeginPeriod(1); }
void end_fine_timing() { timeEndPeriod(1); }
