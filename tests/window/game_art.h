// The game's own fonts and menu marker, loaded in the test with Allegro, so
// a test can say what a text or the marker looks like on the 320x240 picture
// instead of guessing pixels. Only white text is stamped: the game writes
// every heading, label and number in pure white, and nothing else on its
// screens is pure white except outlines (the background and the blocks hold
// no white pixel).
#pragma once
#include <string>
#include <vector>

#include "xharness.h"

enum class game_font { small, large };
enum class text_align { left, centre, right };  // how x anchors the text, as the game prints it

// Which pixels of a box the text turns white.
struct text_stamp {
  int x = 0, y = 0, w = 0, h = 0;  // the box on the 320x240 picture
  std::vector<unsigned char> ink;  // w*h, 1 where the text is white
};

// Loads both fonts, the four marker pictures and the four colour blocks
// from data_dir, once.
bool load_game_art(const std::string &data_dir);

text_stamp stamp_text(game_font font, text_align align, int x, int y, const std::string &text);
// Pixels of the stamp's box (inside the picture) whose whiteness differs.
int count_stamp_misses(const rgb_image &picture, const text_stamp &stamp);
// The box shows exactly this text: white where the text is, nowhere else.
bool shows_text(const rgb_image &picture, game_font font, text_align align, int x, int y,
                const std::string &text);

// Reads digits and minus signs printed right-aligned at right_x, glyph by
// glyph from the right; "" when the first glyph matches none of them.
std::string read_number_right(const rgb_image &picture, game_font font, int right_x, int y);

// One of the marker's four animation pictures, drawn masked at (x, y).
bool fireball_at(const rgb_image &picture, int x, int y);
// The colour (1 red, 2 blue, 3 green, 4 yellow) of the block picture whose
// inside matches the 18x18 cell at (x, y), or 0. The outermost ring of the
// cell is left out: the cursor's outline covers it.
int block_colour_at(const rgb_image &picture, int x, int y);
