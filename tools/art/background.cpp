#include "background.h"

#include <cmath>

// Lattice value for a cell; cells wrap at `cells` so the noise repeats
// exactly once per tile.
static int lattice_value(int cx, int cy, int cells, uint32_t salt) {
  cx = ((cx % cells) + cells) % cells;
  cy = ((cy % cells) + cells) % cells;
  uint32_t h = static_cast<uint32_t>(cx) * 73856093u ^ static_cast<uint32_t>(cy) * 19349663u ^ salt * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return static_cast<int>(h & 255);
}

// Smoothly interpolated value noise with `cells` cells across the tile,
// 0..255. Positions are in 1/256 of a cell so a whole tile is exactly
// cells*256 and the edges meet.
static int tile_noise(int x, int y, int cells, uint32_t salt) {
  int u = x * cells * 256 / background_size;
  int v = y * cells * 256 / background_size;
  int cx = u >> 8, cy = v >> 8;
  int fx = u & 255, fy = v & 255;
  // Smoothstep in fixed point.
  fx = fx * fx * (768 - 2 * fx) / 65536;
  fy = fy * fy * (768 - 2 * fy) / 65536;
  int a = lattice_value(cx, cy, cells, salt), b = lattice_value(cx + 1, cy, cells, salt);
  int c = lattice_value(cx, cy + 1, cells, salt), d = lattice_value(cx + 1, cy + 1, cells, salt);
  int top = a + (b - a) * fx / 256;
  int bottom = c + (d - c) * fx / 256;
  return top + (bottom - top) * fy / 256;
}

// Distance in pixels from (x, y) to the nearest of `count` evenly spaced
// diagonal lines per tile; `slope` picks / or \.
static double lattice_distance(int x, int y, int count, int slope) {
  int along = slope > 0 ? x + y : x - y + background_size;
  double t = static_cast<double>(along) * count / background_size;
  double frac = t - std::floor(t);
  double steps = (frac < 0.5 ? frac : 1 - frac) * background_size / count;
  return steps * 0.7071067812;
}

picture draw_background() {
  picture p = make_picture(background_size, background_size);
  const rgb deep{8, 10, 26}, mist{24, 30, 66}, violet{36, 24, 62};
  for (int y = 0; y < background_size; ++y) {
    for (int x = 0; x < background_size; ++x) {
      int n = (tile_noise(x, y, 3, 1) * 4 + tile_noise(x, y, 6, 2) * 2 + tile_noise(x, y, 12, 3)) / 7;
      int tint = tile_noise(x, y, 2, 4);
      rgb c = mix_colour(deep, mix_colour(mist, violet, tint), n);
      // A faint diamond lattice, like facets in dark glass.
      double d1 = lattice_distance(x, y, 7, 1), d2 = lattice_distance(x, y, 7, -1);
      double d = d1 < d2 ? d1 : d2;
      if (d < 1.2) {
        int glow = static_cast<int>((1.2 - d) / 1.2 * 12);
        c = {c.r + glow / 2, c.g + glow * 3 / 4, c.b + glow};
      }
      if (d1 < 1.0 && d2 < 1.0) c = {c.r + 6, c.g + 8, c.b + 14};  // knots
      put_pixel(p, x, y, c);
    }
  }
  // A few dim stars; single pixels, so they cannot break the seams.
  lcg g{0x4b56u};
  for (int i = 0; i < 40; ++i) {
    int x = random_below(g, background_size), y = random_below(g, background_size);
    int lift = 14 + random_below(g, 26);
    rgb c = get_pixel(p, x, y);
    put_pixel(p, x, y, {c.r + lift, c.g + lift, c.b + lift + 8});
  }
  return p;
}
