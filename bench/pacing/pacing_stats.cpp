#include "pacing_stats.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

bool read_frame_log(const std::string &path, std::vector<logged_frame> &out) {
  std::ifstream in(path);
  if (!in) return false;
  out.clear();
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    logged_frame f;
    if (!(fields >> f.mark >> f.timer_ms >> f.mono_ns >> f.state)) return false;
    out.push_back(f);
  }
  return true;
}

std::vector<double> present_intervals(const std::vector<logged_frame> &log, int state_filter,
                                      bool with_holds) {
  std::vector<double> out;
  const logged_frame *last = nullptr;
  bool held = false;  // a hold note since the last present
  for (const logged_frame &f : log) {
    if (f.mark == 2) held = true;
    if (f.mark != 1) continue;
    if (last && (!held || with_holds) && (state_filter == ANY_SCREEN || f.state == state_filter))
      out.push_back((f.mono_ns - last->mono_ns) / 1e6);
    last = &f;
    held = false;
  }
  return out;
}

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double rank = std::ceil(p / 100.0 * values.size());
  const size_t i = rank < 1 ? 0 : static_cast<size_t>(rank) - 1;
  return values[std::min(i, values.size() - 1)];
}

interval_summary summarise(const std::vector<double> &intervals) {
  interval_summary s;
  s.frames = static_cast<int>(intervals.size());
  if (intervals.empty()) return s;
  double total = 0;
  for (double v : intervals) {
    total += v;
    if (v > 21.0) s.over_21ms++;
  }
  s.mean_fps = 1000.0 * intervals.size() / total;
  s.p50_ms = percentile(intervals, 50);
  s.p99_ms = percentile(intervals, 99);
  s.max_ms = *std::max_element(intervals.begin(), intervals.end());
  return s;
}

double start_to_first_present_ms(const std::vector<logged_frame> &log) {
  const logged_frame *start = nullptr;
  for (const logged_frame &f : log) {
    if (f.mark == 0 && !start) start = &f;
    if (f.mark == 1 && start) return (f.mono_ns - start->mono_ns) / 1e6;
  }
  return -1;
}

int screen_at(const std::vector<logged_frame> &log, std::int64_t mono_ns) {
  int state = STARTING_UP;
  for (const logged_frame &f : log) {
    if (f.mono_ns > mono_ns) break;
    if (f.mark == 1) state = f.state;
  }
  return state;
}

cpu_share cpu_on_screen(const std::vector<logged_frame> &log, const std::vector<cpu_sample> &samples,
                        int state, long ticks_per_s) {
  cpu_share share;
  for (size_t i = 1; i < samples.size(); i++) {
    const cpu_sample &a = samples[i - 1], &b = samples[i];
    if (screen_at(log, a.mono_ns) != state || screen_at(log, b.mono_ns) != state) continue;
    share.cpu_s += static_cast<double>(b.ticks - a.ticks) / ticks_per_s;
    share.wall_s += (b.mono_ns - a.mono_ns) / 1e9;
  }
  return share;
}
