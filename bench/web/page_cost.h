// What the browser game costs: CPU of Chromium's processes and threads
// beside the native game's, and where a frame of the page goes.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>

#include "web_bridge.h"

// CPU seconds, as read at a moment or over a stretch: the native game's
// process; or Chromium's renderers (all their threads), their main threads
// and compositor threads, the GPU process's display compositor, and all of
// Chromium.
struct cpu_use {
  double wall = 0;
  double process = 0, main = 0, compositor = 0, display = 0, all = 0;
};

// Chromium's processes under the bridge, read now.
void chromium_cpu(pid_t bridge, cpu_use &now);
// Every process of the engine under the bridge (not the bridge itself, nor
// the X server WebKit draws on), read now, in all.
void engine_cpu(pid_t bridge, cpu_use &now);
// Stays still for seconds, reading before and after: the CPU used meanwhile.
cpu_use hold_still(int seconds, const std::function<void(cpu_use &)> &read);
void print_cpu_header();
void print_cpu(const char *screen, const cpu_use &native, const cpu_use &page);
std::string load_average();

// Put into every page (initscript): notes how late each of the page's
// timers (scheduler.postTask) fires against the time asked, in kvWakes.
extern const std::string wake_recorder;

// A frame of the page, in ms of CPU: the game's own code in WebAssembly,
// Asyncify and the sleep's script, the timer's callbacks caught up, the
// picture converted and put, the page's own scripts, the browser's own work
// on the page's thread, the compositing (the renderer's compositor, the
// GPU process's display compositor), the bench's own notes; and how late
// the page's timers fire (p50, p99 ms).
struct frame_cost {
  int frames = 0;
  double drawing = 0, sleeping = 0, catching_up = 0, putting = 0, page = 0, browser = 0;
  double compositing = 0, noting = 0;
  double late_p50 = 0, late_p99 = 0;
};
// Profiles 4 s of the page at hand (after it has run a second or two).
bool measure_frame_cost(web_bridge &b, frame_cost &cost);
void print_frame_cost(const frame_cost &a, const char *a_name, const frame_cost &b, const char *b_name);
