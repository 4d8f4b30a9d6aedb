#include "effects.h"

#include <cmath>

#include "blocks.h"

// cos(n*a) for the direction (c, s), by repeated complex products.
static double cos_multiple(double c, double s, int n) {
  double re = 1, im = 0;
  for (int i = 0; i < n; ++i) {
    double t = re * c - im * s;
    im = re * s + im * c;
    re = t;
  }
  return re;
}

// Hot to cold: white, yellow, orange, red, ember.
static rgb heat_colour(int heat) {
  static const rgb stops[5] = {{96, 14, 10}, {204, 40, 18}, {250, 128, 24}, {255, 220, 70}, {255, 255, 236}};
  heat = clamp_int(heat, 0, 1023);
  int i = heat / 256;
  if (i >= 4) return stops[4];
  return mix_colour(stops[i], stops[i + 1], heat % 256);
}

picture draw_blast(int stage) {
  picture p = make_picture(block_size, block_size);
  lcg sparks{0x5eedu + static_cast<uint32_t>(stage) * 7919u};
  for (int y = 0; y < block_size; ++y) {
    for (int x = 0; x < block_size; ++x) {
      double X = (2 * x - 17) / 2.0, Y = (2 * y - 17) / 2.0;  // pixels from centre
      double r = std::sqrt(X * X + Y * Y);
      double c = r > 0 ? X / r : 1, s = r > 0 ? Y / r : 0;
      int heat = -1;
      if (stage == 1) {
        // A tight white flash with a short eight-point flare.
        double spike = (1 + cos_multiple(c, s, 8)) / 2;
        double reach = 3.6 + 2.4 * spike * spike;
        if (r <= reach) heat = static_cast<int>(1023 - r / reach * 700);
      } else if (stage == 2) {
        // The flash opens into a ring with rays; the middle is hollowing out.
        double spike = (1 + cos_multiple(c, s, 8)) / 2;
        double outer = 6.2 + 2.6 * spike * spike * spike;
        if (r <= outer && r >= 2.2) {
          double t = (r - 2.2) / (outer - 2.2);
          heat = static_cast<int>(900 - t * 560);
        } else if (r < 2.2) {
          heat = 520;
        }
      } else if (stage == 3) {
        // Only ragged fragments of the ring are left, cooling to red.
        double gaps = cos_multiple(c, s, 5) * 0.6 + cos_multiple(s, c, 3) * 0.4;
        if (r >= 5.6 && r <= 8.9 && gaps > -0.15) heat = static_cast<int>(560 - (r - 5.6) * 90 + gaps * 120);
      } else {
        // Last embers and smoke: the game loads this but never shows it.
        double gaps = cos_multiple(c, s, 7);
        if (r >= 7.0 && r <= 8.9 && gaps > 0.55) heat = 140;
      }
      if (heat >= 0) put_pixel(p, x, y, heat_colour(heat));
    }
  }
  // Flying sparks past the ring in the later stages.
  int count = stage == 1 ? 0 : (stage == 4 ? 3 : 6);
  for (int i = 0; i < count; ++i) {
    int x = random_below(sparks, block_size), y = random_below(sparks, block_size);
    int X = 2 * x - 17, Y = 2 * y - 17;
    if (X * X + Y * Y < 4 * 36) continue;  // keep sparks outside the ring
    put_pixel(p, x, y, heat_colour(stage == 4 ? 160 : 700 - stage * 120));
  }
  return p;
}

picture draw_fire(int frame) {
  picture p = make_picture(fire_w, fire_h);
  const double hx = 11.0, hy = 4.5, hr = 4.5;  // head of the fireball
  int f = frame - 1;
  for (int y = 0; y < fire_h; ++y) {
    for (int x = 0; x < fire_w; ++x) {
      double dx = x - hx, dy = y - hy;
      double head = 1.0 - std::sqrt(dx * dx + dy * dy) / hr;
      double tail = -1;
      if (x < hx) {
        double along = x / hx;  // 0 at the tip, 1 at the head
        // The tail waves a little more the further it trails.
        double sway = wave_sine(x * 65536 / 7 + f * 16384) / 4096.0 * 1.3 * (1 - along);
        double flick = 1 + 0.22 * wave_sine(x * 65536 / 5 - f * 16384 + 9000) / 4096.0;
        double half = (0.7 + 3.6 * along) * flick;
        double off = y - hy - sway;
        if (off < 0) off = -off;
        tail = (1 - off / half) * (0.35 + 0.5 * along);
      }
      double h = head > tail ? head : tail;
      if (h <= 0.04) continue;
      put_pixel(p, x, y, heat_colour(static_cast<int>(h * 1300)));
    }
  }
  // One ember breaking off the tail, in a different place each frame.
  static const int ember_x[4] = {1, 3, 0, 2};
  static const int ember_y[4] = {2, 7, 6, 1};
  put_pixel(p, ember_x[f], ember_y[f], heat_colour(420));
  return p;
}
