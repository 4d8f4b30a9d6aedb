// Clock and polling: tests wait for a condition, never for a guessed time.
#include "xharness.h"

#include <chrono>
#include <thread>

long long now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void pause_ms(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool poll_until(const std::function<bool()> &check, int timeout_ms, int step_ms) {
  const long long deadline = now_ms() + timeout_ms;
  for (;;) {
    if (check()) return true;
    if (now_ms() >= deadline) return false;
    pause_ms(step_ms);
  }
}
