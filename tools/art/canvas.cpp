#include "canvas.h"

#include <allegro.h>

picture make_picture(int w, int h) {
  picture p;
  p.w = w;
  p.h = h;
  p.px.assign(static_cast<size_t>(w) * h, black);
  p.solid.assign(static_cast<size_t>(w) * h, 0);
  return p;
}

void put_pixel(picture &p, int x, int y, rgb c) {
  if (x < 0 || y < 0 || x >= p.w || y >= p.h) return;
  size_t i = static_cast<size_t>(y) * p.w + x;
  p.px[i] = clamp_colour(c);
  p.solid[i] = 1;
}

void clear_pixel(picture &p, int x, int y) {
  if (x < 0 || y < 0 || x >= p.w || y >= p.h) return;
  size_t i = static_cast<size_t>(y) * p.w + x;
  p.px[i] = black;
  p.solid[i] = 0;
}

bool is_solid(const picture &p, int x, int y) {
  if (x < 0 || y < 0 || x >= p.w || y >= p.h) return false;
  return p.solid[static_cast<size_t>(y) * p.w + x] != 0;
}

rgb get_pixel(const picture &p, int x, int y) {
  if (!is_solid(p, x, y)) return black;
  return p.px[static_cast<size_t>(y) * p.w + x];
}

int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

rgb clamp_colour(rgb c) {
  return {clamp_int(c.r, 0, 255), clamp_int(c.g, 0, 255), clamp_int(c.b, 0, 255)};
}

rgb mix_colour(rgb a, rgb b, int t) {
  t = clamp_int(t, 0, 256);
  return {(a.r * (256 - t) + b.r * t) / 256, (a.g * (256 - t) + b.g * t) / 256,
          (a.b * (256 - t) + b.b * t) / 256};
}

rgb scale_colour(rgb c, int t) {
  if (t < 0) t = 0;
  return clamp_colour({c.r * t / 256, c.g * t / 256, c.b * t / 256});
}

int luminance(rgb c) { return (c.r * 299 + c.g * 587 + c.b * 114) / 1000; }

int wave_sine(int phase) {
  const int64_t half = 32768;
  int64_t p = phase & 0xFFFF;
  int sign = 1;
  if (p >= half) {
    p -= half;
    sign = -1;
  }
  int64_t q = p * (half - p);
  int64_t s = 4096 * 16 * q / (5 * half * half - 4 * q);
  return sign * static_cast<int>(s);
}

uint32_t next_random(lcg &g) {
  // Numerical Recipes constants; the top bits are the well-mixed ones.
  g.state = g.state * 1664525u + 1013904223u;
  return g.state >> 8;
}

int random_below(lcg &g, int n) { return static_cast<int>(next_random(g) % static_cast<uint32_t>(n)); }

BITMAP *picture_to_bitmap(const picture &p) {
  BITMAP *bmp = create_bitmap_ex(32, p.w, p.h);
  if (!bmp) return nullptr;
  for (int y = 0; y < p.h; ++y) {
    for (int x = 0; x < p.w; ++x) {
      rgb c = key_magenta;
      if (is_solid(p, x, y)) {
        c = get_pixel(p, x, y);
        if (c.r == 255 && c.g == 0 && c.b == 255) c.g = 1;
      }
      putpixel(bmp, x, y, makecol32(c.r, c.g, c.b));
    }
  }
  return bmp;
}

bool save_picture(const picture &p, const std::string &path) {
  BITMAP *bmp = picture_to_bitmap(p);
  if (!bmp) return false;
  // A 32-bit bitmap goes out as a 24-bit BMP/PCX; the key stays exact.
  bool ok = save_bitmap(path.c_str(), bmp, nullptr) == 0;
  destroy_bitmap(bmp);
  return ok;
}

picture scale_picture(const picture &p, int factor) {
  picture out = make_picture(p.w * factor, p.h * factor);
  for (int y = 0; y < out.h; ++y)
    for (int x = 0; x < out.w; ++x)
      if (is_solid(p, x / factor, y / factor)) put_pixel(out, x, y, get_pixel(p, x / factor, y / factor));
  return out;
}

void paste_picture(picture &dst, const picture &src, int x, int y) {
  for (int sy = 0; sy < src.h; ++sy)
    for (int sx = 0; sx < src.w; ++sx)
      if (is_solid(src, sx, sy)) put_pixel(dst, x + sx, y + sy, get_pixel(src, sx, sy));
}
