// Plain RGB pictures the generator paints into before Allegro saves them.
// Everything here is integer or exactly-rounded double math, so two runs
// (and two machines) paint the same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct BITMAP;

struct rgb {
  int r, g, b;
};

// A picture with a per-pixel "solid" flag; clear pixels become the magenta
// key when saved, so the game can draw the picture masked.
struct picture {
  int w = 0, h = 0;
  std::vector<rgb> px;
  std::vector<unsigned char> solid;
};

const rgb key_magenta{255, 0, 255};
const rgb white{255, 255, 255};
const rgb black{0, 0, 0};

picture make_picture(int w, int h);  // all clear
void put_pixel(picture &p, int x, int y, rgb c);  // clipped, marks solid
void clear_pixel(picture &p, int x, int y);
bool is_solid(const picture &p, int x, int y);  // false outside
rgb get_pixel(const picture &p, int x, int y);  // black outside or clear

int clamp_int(int v, int lo, int hi);
rgb clamp_colour(rgb c);
// t runs 0..256 from a to b.
rgb mix_colour(rgb a, rgb b, int t);
// Multiplies by t/256, clamped.
rgb scale_colour(rgb c, int t);
int luminance(rgb c);  // 0..255, Rec.601 weights

// Sine of phase/65536 of a turn, as -4096..4096 (Bhaskara's fraction,
// smooth enough for soft patterns and free of libm rounding).
int wave_sine(int phase);

// Our own LCG so the random sprinkles never depend on libc.
struct lcg {
  uint32_t state;
};
uint32_t next_random(lcg &g);
int random_below(lcg &g, int n);

// Converts to a 32-bit Allegro memory bitmap; clear pixels become magenta
// and a solid pixel that happens to be magenta is nudged off the key.
BITMAP *picture_to_bitmap(const picture &p);
bool save_picture(const picture &p, const std::string &path);

// Nearest-neighbour enlargement, used by the montage and the icon.
picture scale_picture(const picture &p, int factor);
// Draws src over dst at (x, y), skipping clear pixels.
void paste_picture(picture &dst, const picture &src, int x, int y);
