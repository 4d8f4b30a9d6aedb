#include "pacing_report.h"

#include <unistd.h>

#include <cstdio>

namespace {

struct screen_row {
  const char *name;
  int state;
};

const screen_row screens[] = {
    {"splash", -3}, {"title", 0}, {"game", 4}, {"high scores", 5}, {"all screens", ANY_SCREEN}};

// How long the screen was up, holds included.
double seconds_on(const std::vector<logged_frame> &log, int state) {
  double ms = 0;
  for (double v : present_intervals(log, state, true)) ms += v;
  return ms / 1000;
}

int holds(const std::vector<logged_frame> &log) {
  int n = 0;
  for (const logged_frame &f : log) n += f.mark == 2;
  return n;
}

double load_average() {
  double one = -1;
  FILE *f = std::fopen("/proc/loadavg", "r");
  if (f) {
    if (std::fscanf(f, "%lf", &one) != 1) one = -1;
    std::fclose(f);
  }
  return one;
}

}  // namespace

void print_report(const std::vector<logged_frame> &log, const std::vector<cpu_sample> &samples,
                  std::int64_t spawn_ns, const char *window) {
  const long hz = sysconf(_SC_CLK_TCK);
  std::printf("window %s, load average (1 min) %.2f, %d banner holds left out\n", window,
              load_average(), holds(log));
  std::printf("%-12s %7s %6s %8s %8s %8s %6s %7s %7s\n", "screen", "frames", "fps", "p50 ms",
              "p99 ms", "max ms", ">21ms", "up s", "CPU %");
  for (const screen_row &row : screens) {
    const interval_summary s = summarise(present_intervals(log, row.state));
    double cpu = 0;
    if (row.state == ANY_SCREEN) {
      if (samples.size() >= 2)
        cpu = 100.0 * (samples.back().ticks - samples.front().ticks) / hz /
              ((samples.back().mono_ns - samples.front().mono_ns) / 1e9);
    } else {
      cpu = cpu_on_screen(log, samples, row.state, hz).percent();
    }
    const double up = seconds_on(log, row.state);
    std::printf("%-12s %7d %6.2f %8.2f %8.2f %8.2f %6d %7.1f %7.2f\n", row.name, s.frames,
                s.mean_fps, s.p50_ms, s.p99_ms, s.max_ms, s.over_21ms, up, cpu);
  }
  const cpu_share start = cpu_on_screen(log, samples, STARTING_UP, hz);
  double spawn_to_first = -1;
  for (const logged_frame &f : log)
    if (f.mark == 1) {
      spawn_to_first = (f.mono_ns - spawn_ns) / 1e6;
      break;
    }
  std::printf("first frame: %.1f ms after main, %.1f ms after fork+exec (start-up CPU %.0f%%)\n",
              start_to_first_present_ms(log), spawn_to_first, start.percent());
}
