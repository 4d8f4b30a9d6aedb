// Reading "KV frames.log" and the CPU samples into the pacing figures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct logged_frame {
  int mark = 0;  // 0 start, 1 present, 2 hold (as the game writes them)
  std::int64_t timer_ms = 0;
  std::int64_t mono_ns = 0;
  int state = 0;
};

struct cpu_sample {
  std::int64_t mono_ns = 0;
  long ticks = 0;  // utime + stime of the whole process
};

// The notes in file order; false if the file is missing or malformed.
bool read_frame_log(const std::string &path, std::vector<logged_frame> &out);

// Present-to-present intervals in ms, those of one screen (any screen for
// state_filter == INT32_MIN). An interval belongs to the screen noted at
// its closing present; one holding a banner's one-second rest is left out
// unless with_holds.
constexpr int ANY_SCREEN = INT32_MIN;
std::vector<double> present_intervals(const std::vector<logged_frame> &log, int state_filter,
                                      bool with_holds = false);

struct interval_summary {
  int frames = 0;
  double mean_fps = 0;
  double p50_ms = 0, p99_ms = 0, max_ms = 0;
  int over_21ms = 0;
};
interval_summary summarise(const std::vector<double> &intervals);
// Nearest rank on a copy: the smallest value with at least p% at or below it.
double percentile(std::vector<double> values, double p);

// ms from the start note to the first present; -1 if either is missing.
double start_to_first_present_ms(const std::vector<logged_frame> &log);

// The screen at a moment: the state of the last present at or before it,
// STARTING_UP before the first present.
constexpr int STARTING_UP = INT32_MIN + 1;
int screen_at(const std::vector<logged_frame> &log, std::int64_t mono_ns);

struct cpu_share {
  double cpu_s = 0;   // user + system seconds
  double wall_s = 0;  // sampled wall time
  double percent() const { return wall_s > 0 ? 100.0 * cpu_s / wall_s : 0; }
};
// CPU use while one screen was up, from the slices between consecutive
// samples that begin and end on that screen; slices across a change of
// screen go to no screen.
cpu_share cpu_on_screen(const std::vector<logged_frame> &log, const std::vector<cpu_sample> &samples,
                        int state, long ticks_per_s);
