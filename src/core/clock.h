// The frame clock every screen runs on: a 1 ms counter, the time stamp of
// the frame, the 20 ms wait and the counters that advance after it.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<std::int64_t> timer;  // milliseconds, written by update_timer only
extern std::int64_t start_time;          // timer at the start of the current frame
extern int loop_num;                     // frame counter of the current screen
extern int scroll_t;                     // background scroll counter, never reset

// How the frame wait sleeps. The game uses sleep_on_timer; tests swap in a
// function that advances timer instead, so frames run without a clock.
extern void (*sleep_ms)(unsigned int ms);

// Sleeps until timer has moved on by ms: most of it in one rest, the last
// few milliseconds in short steps, so a wait ends just after the tick it
// waits for, after a handful of wake-ups.
void sleep_on_timer(unsigned int ms);

// How far short of the tick a frame's wait ends its one long rest, leaving
// the rest to short naps: 3 ms where a long sleep now and then wakes late
// (Linux, Windows); none in a browser, whose rest ends just after the
// timer's callback due in its last millisecond.
extern const unsigned int rest_margin_ms;

// One short sleep of the thread, without the library: the platform's own,
// in its file nap_posix.cpp or nap_win.cpp. Windows sleeps no shorter than
// a millisecond, and only that short between begin_fine_timing and
// end_fine_timing; Linux sleeps to the microsecond anyway.
void nap_us(unsigned int us);
void begin_fine_timing();  // before the 1 ms timer starts
void end_fine_timing();    // on the way out

void update_timer();  // 1 ms timer callback
void wait_frame();    // sleep until 20 ms have passed since start_time
