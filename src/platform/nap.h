// The thread's short sleeps and the timer's resolution, each platform's
// own: nap_posix.cpp, nap_win.cpp, nap_web.cpp.
#pragma once

// How far short of the tick a frame's wait ends its one long rest, leaving
// the rest to short naps: 3 ms where a long sleep now and then wakes late
// (Linux, Windows); none in a browser, whose rest ends just after the
// timer's callback due in its last millisecond.
extern const unsigned int rest_margin_ms;

// One short sleep of the thread, without the library. Windows sleeps no
// shorter than a millisecond, and only that short between begin_fine_timing
// and end_fine_timing; Linux sleeps to the microsecond anyway.
void nap_us(unsigned int us);
void begin_fine_timing();  // before the 1 ms timer starts
void end_fine_timing();    // on the way out
