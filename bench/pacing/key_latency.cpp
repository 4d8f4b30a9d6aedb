#include "key_latency.h"

#include <X11/keysym.h>

#include <random>
#include <thread>

#include "cpu_sampler.h"
#include "field_reader.h"

namespace {

// The cursor's column on screen now, or -1 (a band is up, or no window).
// Only the well is grabbed (game pixels 8 to 156 across, 8 to 228 down), so
// a grab of a full-screen window takes about as long as one of a window.
int cursor_column(xvfb_server &server, x_window window) {
  const window_size size = get_window_size(server, window);
  const picture_area whole = area_of_window(size.width, size.height);
  const int s = whole.scale;
  rgb_image image;
  field_view view;
  if (!grab_window_part(server, window, whole.x0 + 8 * s, whole.y0 + 8 * s, 148 * s, 220 * s, image) ||
      !read_field(image, {s, -8 * s, -8 * s}, view))
    return -1;
  return view.cursor_col;
}

}  // namespace

void measure_key_latency(xvfb_server &server, x_window window, int presses, unsigned seed,
                         latency_result &result) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> gap_us(100000, 400000);
  bool right = true;
  for (int i = 0; i < presses; i++) {
    std::this_thread::sleep_for(std::chrono::microseconds(gap_us(random)));
    const int from = cursor_column(server, window);
    if (from < 0) {
      result.missed++;
      continue;
    }
    if (from == 0) right = true;  // a wall: turn back
    if (from == WELL_COLS - 1) right = false;
    const unsigned long key = right ? XK_Right : XK_Left;
    const int to = right ? from + 1 : from - 1;
    right = !right;
    const std::int64_t pressed = monotonic_ns();
    key_down(server, key);
    std::int64_t seen = 0;
    while (!seen && monotonic_ns() - pressed < 1000000000) {
      const std::int64_t before = monotonic_ns();
      const int col = cursor_column(server, window);
      const std::int64_t after = monotonic_ns();
      result.grabbing_ns += after - before;
      result.grabs++;
      if (col == to) seen = after;
    }
    key_up(server, key);
    if (seen)
      result.ms.push_back((seen - pressed) / 1e6);
    else
      result.missed++;
  }
}
