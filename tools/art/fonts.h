// Both game fonts, written as Allegro bitmap-font sheets: a grid of glyph
// boxes on colour 255, ink colour 1, paper colour 0. One ink colour makes
// Allegro load them as mono fonts, so text comes out in exactly the colour
// the game asks for.
#pragma once
#include <string>
#include <vector>

struct glyph_bits {
  int w = 0, h = 0;
  std::vector<unsigned char> ink;  // w*h, 1 = ink
};

const int small_font_height = 9;
const int large_font_height = 18;

// ASCII 32..126, in order. Widths include the blank spacing column(s).
std::vector<glyph_bits> build_small_glyphs();
std::vector<glyph_bits> build_large_glyphs();

// Writes the sheet as an 8-bit paletted picture (the extension picks BMP
// or PCX).
bool save_font_sheet(const std::vector<glyph_bits> &glyphs, const std::string &path);
