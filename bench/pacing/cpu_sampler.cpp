#include "cpu_sampler.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <string>

std::int64_t monotonic_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

long read_cpu_ticks(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  FILE *f = std::fopen(path.c_str(), "r");
  if (!f) return -1;
  char buf[1024];
  const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  // The name in parentheses may hold spaces; the fields after it are fixed:
  // state is field 3, utime 14 and stime 15.
  const char *p = std::strrchr(buf, ')');
  char state = 0;
  unsigned long utime = 0, stime = 0;
  if (!p || std::sscanf(p + 2, "%c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &state, &utime,
                        &stime) != 3)
    return -1;
  if (state == 'Z' || state == 'X') return -1;
  return static_cast<long>(utime + stime);
}

std::vector<std::pair<pid_t, std::int64_t>> thread_cpu_ns(pid_t pid) {
  std::vector<std::pair<pid_t, std::int64_t>> out;
  std::error_code err;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto &entry : std::filesystem::directory_iterator(tasks, err)) {
    FILE *f = std::fopen((entry.path() / "schedstat").c_str(), "r");
    if (!f) continue;
    long long ns = 0;
    if (std::fscanf(f, "%lld", &ns) == 1)
      out.push_back({static_cast<pid_t>(std::stol(entry.path().filename().string())), ns});
    std::fclose(f);
  }
  std::sort(out.begin(), out.end());
  return out;
}

void start_sampling(cpu_sampler &s, pid_t pid, int period_ms) {
  s.running = true;
  s.worker = std::thread([&s, pid, period_ms] {
    auto next = std::chrono::steady_clock::now();
    while (s.running) {
      const long ticks = read_cpu_ticks(pid);
      if (ticks < 0) break;
      {
        std::lock_guard<std::mutex> g(s.lock);
        s.samples.push_back({monotonic_ns(), ticks});
      }
      next += std::chrono::milliseconds(period_ms);
      std::this_thread::sleep_until(next);
    }
  });
}

std::vector<cpu_sample> stop_sampling(cpu_sampler &s) {
  s.running = false;
  if (s.worker.joinable()) s.worker.join();
  std::lock_guard<std::mutex> g(s.lock);
  return s.samples;
}
