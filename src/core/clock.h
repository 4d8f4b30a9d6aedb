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

void update_timer();  // 1 ms timer callback
void wait_frame();    // sleep until 20 ms have passed since start_time
