#include "core/clock.h"

#include <allegro.h>

#include "platform/nap.h"

std::atomic<std::int64_t> timer{0};
std::int64_t start_time = 0;
int loop_num = 0;
int scroll_t = 0;
void (*sleep_ms)(unsigned int ms) = sleep_on_timer;

void update_timer() { timer.fetch_add(1, std::memory_order_relaxed); }

// rest(1) twenty times a frame woke the game a thousand times a second, each
// wake-up costing about as much as drawing a menu, and ended the frame
// anywhere up to a millisecond after its tick. One long rest instead, but
// it now and then wakes a millisecond or two late, so it stops three short
// of the tick (rest_margin_ms; a browser's rest ends on the tick itself);
// 1 ms steps bring the wait to the last millisecond and quarter millisecond
// naps find the tick.
void sleep_on_timer(unsigned int ms) {
  const std::int64_t until = timer.load() + ms;
  if (ms > rest_margin_ms) rest(ms - rest_margin_ms);
  // Bounded, so a stopped timer cannot hang the game; callers test timer again.
  for (int i = 0; i < 60; i++) {
    const std::int64_t left = until - timer.load();
    if (left <= 0) return;
    nap_us(left >= 2 ? 1000 : 250);
  }
}

// Never ends before 20 ms have passed since start_time; sleeps, never spins.
void wait_frame() {
  for (std::int64_t left; (left = start_time + 20 - timer.load()) > 0;)
    sleep_ms(static_cast<unsigned int>(left));
}

