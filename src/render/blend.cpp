#include "render/blend.h"

#include <allegro.h>

// The channel masks of the 32-bit layout in use (red, green, blue fields).
struct channel_masks {
  std::uint32_t r, g, b;
};

static channel_masks current_masks() {
  return {static_cast<std::uint32_t>(makecol32(255, 0, 0)),
          static_cast<std::uint32_t>(makecol32(0, 255, 0)),
          static_cast<std::uint32_t>(makecol32(0, 0, 255))};
}

// Each channel is weighted in place inside its own field; the weights add
// up to 4, so a channel never spills into its neighbour.
static inline std::uint32_t blend_channel(std::uint32_t mask, std::uint32_t c, std::uint32_t u,
                                          std::uint32_t s) {
  const std::uint64_t sum = std::uint64_t(s) * (c & mask) + std::uint64_t(4 - s) * (u & mask);
  return static_cast<std::uint32_t>(sum >> 2) & mask;
}

static inline std::uint32_t blend(const channel_masks &m, std::uint32_t c, std::uint32_t u,
                                  std::uint32_t s) {
  return blend_channel(m.r, c, u, s) | blend_channel(m.g, c, u, s) | blend_channel(m.b, c, u, s);
}

// With red and blue in the outer bytes and green in between (either way
// round), red and blue are weighted together in one word: each lane's sum
// stays below 0x400, so the lanes 16 bits apart cannot meet.
constexpr std::uint32_t RB = 0xFF00FF, G = 0x00FF00;

static bool byte_layout(const channel_masks &m) { return (m.r | m.b) == RB && m.g == G; }

static inline std::uint32_t blend_rb_g(std::uint32_t c, std::uint32_t u, std::uint32_t s) {
  const std::uint32_t t = 4 - s;
  return (((s * (c & RB) + t * (u & RB)) >> 2) & RB) | (((s * (c & G) + t * (u & G)) >> 2) & G);
}

void merge32(std::int32_t *out, std::int32_t colour, std::int32_t under, int strength) {
  *out = static_cast<std::int32_t>(blend(current_masks(), static_cast<std::uint32_t>(colour),
                                         static_cast<std::uint32_t>(under),
                                         static_cast<std::uint32_t>(strength)));
}

void SWAP(int &a, int &b) {
  const int t = a;
  a = b;
  b = t;
}

static inline std::uint32_t *row_of(BITMAP *bmp, int y) {
  return reinterpret_cast<std::uint32_t *>(bmp->line[y]);
}

// One row of a rectangle in the common layout: the colour's weighted lanes
// are the same for every pixel, which leaves a loop the compiler vectorises.
static void blend_row_rb_g(std::uint32_t *p, int n, std::uint32_t c, std::uint32_t s) {
  const std::uint32_t crb = s * (c & RB), cg = s * (c & G), t = 4 - s;
  for (int i = 0; i < n; i++) {
    const std::uint32_t u = p[i];
    p[i] = (((crb + t * (u & RB)) >> 2) & RB) | (((cg + t * (u & G)) >> 2) & G);
  }
}

void trans_rect(BITMAP *bmp, int x1, int y1, int x2, int y2, int colour, int strength) {
  if (x1 > x2) SWAP(x1, x2);
  if (y1 > y2) SWAP(y1, y2);
  if (x2 < 0 || x1 >= bmp->w || y2 < 0 || y1 >= bmp->h) return;
  if (x1 < 0) x1 = 0;
  if (y1 < 0) y1 = 0;
  if (x2 > bmp->w - 1) x2 = bmp->w - 1;
  if (y2 > bmp->h - 1) y2 = bmp->h - 1;
  const channel_masks m = current_masks();
  const std::uint32_t c = static_cast<std::uint32_t>(colour);
  const std::uint32_t s = static_cast<std::uint32_t>(strength);
  // Row by row for the cache; every pixel is still blended exactly once.
  const bool fast = byte_layout(m);
  for (int y = y1; y <= y2; y++) {
    std::uint32_t *p = row_of(bmp, y) + x1;
    const int n = x2 - x1 + 1;
    if (fast) {
      blend_row_rb_g(p, n, c, s);
    } else {
      for (int i = 0; i < n; i++) p[i] = blend(m, c, p[i], s);
    }
  }
}

void trans_draw(BITMAP *dest, BITMAP *sprite, int x, int y, int strength) {
  const channel_masks m = current_masks();
  const bool fast = byte_layout(m);
  const std::uint32_t s = static_cast<std::uint32_t>(strength);
  for (int j = 0; j < sprite->h; j++) {
    const int dy = y + j;
    if (dy < 0 || dy >= dest->h) continue;
    const std::uint32_t *src = row_of(sprite, j);
    std::uint32_t *dst = row_of(dest, dy);
    for (int i = 0; i < sprite->w; i++) {
      const int dx = x + i;
      if (dx < 0 || dx >= dest->w || src[i] == 0xFF00FFu) continue;
      dst[dx] = fast ? blend_rb_g(src[i], dst[dx], s) : blend(m, src[i], dst[dx], s);
    }
  }
}
