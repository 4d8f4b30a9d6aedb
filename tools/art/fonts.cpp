#include "fonts.h"

#include <allegro.h>

#include "glyphs.h"

static bool art_ink(const char *const *rows, int x, int y) {
  if (x < 0 || y < 0 || x >= glyph_cols || y >= glyph_rows) return false;
  return rows[y][x] == '#';
}

static bool bit_at(const glyph_bits &g, int x, int y) {
  if (x < 0 || y < 0 || x >= g.w || y >= g.h) return false;
  return g.ink[static_cast<size_t>(y) * g.w + x] != 0;
}

static glyph_bits blank_glyph(int w, int h) {
  glyph_bits g;
  g.w = w;
  g.h = h;
  g.ink.assign(static_cast<size_t>(w) * h, 0);
  return g;
}

// Trims a letter to its inked columns so narrow letters take less room;
// digits keep all five so scores do not jitter as they count.
static glyph_bits trimmed_glyph(int ch) {
  const char *const *rows = glyph_art(ch);
  int lo = glyph_cols, hi = -1;
  for (int x = 0; x < glyph_cols; ++x)
    for (int y = 0; y < glyph_rows; ++y)
      if (art_ink(rows, x, y)) {
        lo = x < lo ? x : lo;
        hi = x > hi ? x : hi;
      }
  if (ch >= '0' && ch <= '9') {
    lo = 0;
    hi = glyph_cols - 1;
  }
  if (hi < 0) {  // the space
    lo = 0;
    hi = 2;
  }
  glyph_bits g = blank_glyph(hi - lo + 1, glyph_rows);
  for (int y = 0; y < glyph_rows; ++y)
    for (int x = lo; x <= hi; ++x) g.ink[static_cast<size_t>(y) * g.w + (x - lo)] = art_ink(rows, x, y);
  return g;
}

// Adds `gap` blank columns on the right: Allegro advances by the box width.
static glyph_bits with_gap(const glyph_bits &g, int gap) {
  glyph_bits out = blank_glyph(g.w + gap, g.h);
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x) out.ink[static_cast<size_t>(y) * out.w + x] = bit_at(g, x, y);
  return out;
}

std::vector<glyph_bits> build_small_glyphs() {
  std::vector<glyph_bits> all;
  for (int ch = first_char; ch <= last_char; ++ch) all.push_back(with_gap(trimmed_glyph(ch), 1));
  return all;
}

// Doubles a glyph, rounding off diagonal steps the way EPX does, so the
// big letters get smooth slants instead of staircases.
static glyph_bits double_glyph(const glyph_bits &g) {
  glyph_bits out = blank_glyph(g.w * 2, g.h * 2);
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x) {
      bool p = bit_at(g, x, y);
      bool a = bit_at(g, x, y - 1), b = bit_at(g, x + 1, y), c = bit_at(g, x - 1, y), d = bit_at(g, x, y + 1);
      bool q1 = p, q2 = p, q3 = p, q4 = p;
      if (c == a && c != d && a != b) q1 = a;
      if (a == b && a != c && b != d) q2 = b;
      if (d == c && d != b && c != a) q3 = c;
      if (b == d && b != a && d != c) q4 = d;
      out.ink[static_cast<size_t>(2 * y) * out.w + 2 * x] = q1;
      out.ink[static_cast<size_t>(2 * y) * out.w + 2 * x + 1] = q2;
      out.ink[static_cast<size_t>(2 * y + 1) * out.w + 2 * x] = q3;
      out.ink[static_cast<size_t>(2 * y + 1) * out.w + 2 * x + 1] = q4;
    }
  return out;
}

// Bold: every inked pixel also inks its right neighbour, one column wider.
static glyph_bits embolden_glyph(const glyph_bits &g) {
  glyph_bits out = blank_glyph(g.w + 1, g.h);
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < out.w; ++x) out.ink[static_cast<size_t>(y) * out.w + x] = bit_at(g, x, y) || bit_at(g, x - 1, y);
  return out;
}

std::vector<glyph_bits> build_large_glyphs() {
  std::vector<glyph_bits> all;
  for (int ch = first_char; ch <= last_char; ++ch)
    all.push_back(with_gap(embolden_glyph(double_glyph(trimmed_glyph(ch))), 2));
  return all;
}

bool save_font_sheet(const std::vector<glyph_bits> &glyphs, const std::string &path) {
  const int per_row = 16;
  const int h = glyphs.empty() ? 1 : glyphs[0].h;
  int rows = (static_cast<int>(glyphs.size()) + per_row - 1) / per_row;
  int sheet_w = 1;
  for (int r = 0; r < rows; ++r) {
    int w = 1;
    for (int i = r * per_row; i < (r + 1) * per_row && i < static_cast<int>(glyphs.size()); ++i) w += glyphs[i].w + 1;
    sheet_w = w > sheet_w ? w : sheet_w;
  }
  BITMAP *sheet = create_bitmap_ex(8, sheet_w, 1 + rows * (h + 1));
  if (!sheet) return false;
  clear_to_color(sheet, 255);  // the lines between boxes
  for (int r = 0; r < rows; ++r) {
    int x0 = 1, y0 = 1 + r * (h + 1);
    for (int i = r * per_row; i < (r + 1) * per_row && i < static_cast<int>(glyphs.size()); ++i) {
      const glyph_bits &g = glyphs[i];
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < g.w; ++x) putpixel(sheet, x0 + x, y0 + y, bit_at(g, x, y) ? 1 : 0);
      x0 += g.w + 1;
    }
  }
  // Only 0, 1 and 255 are used; the rest of the palette stays black.
  PALETTE pal;
  for (int i = 0; i < PAL_SIZE; ++i) pal[i].r = pal[i].g = pal[i].b = pal[i].filler = 0;
  pal[0].r = 63;  // paper shows as magenta in a paint program
  pal[0].b = 63;
  pal[1].r = pal[1].g = pal[1].b = 63;  // white ink
  pal[255].r = pal[255].g = 63;         // yellow lines
  bool ok = save_bitmap(path.c_str(), sheet, pal) == 0;
  destroy_bitmap(sheet);
  return ok;
}
