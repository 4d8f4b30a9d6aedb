// Samples a process's CPU time (utime + stime from /proc/PID/stat) on a
// thread of its own, every period, until stopped or the process is gone.
#pragma once
#include <sys/types.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "pacing_stats.h"

struct cpu_sampler {
  std::thread worker;
  std::atomic<bool> running{false};
  std::mutex lock;
  std::vector<cpu_sample> samples;
};

// utime + stime in clock ticks, or -1 once the process has gone.
long read_cpu_ticks(pid_t pid);
std::int64_t monotonic_ns();
// On-CPU nanoseconds of each thread (from /proc/PID/task/TID/schedstat),
// in the order the threads were started (ascending id).
std::vector<std::pair<pid_t, std::int64_t>> thread_cpu_ns(pid_t pid);
void start_sampling(cpu_sampler &s, pid_t pid, int period_ms);
// Stops the thread and hands back every sample taken.
std::vector<cpu_sample> stop_sampling(cpu_sampler &s);
