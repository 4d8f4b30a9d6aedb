// Reading the well off the game window: where the cursor is, how far the
// field has risen, and the colour of every cell, so the session can aim at
// groups and keep a game going for a minute and more.
#pragma once
#include "xharness.h"

constexpr int AREA_POWER_UP = 5;  // cell colours past the four blocks
constexpr int BAND_POWER_UP = 6;
constexpr int COLOUR_POWER_UP = 7;
constexpr int WELL_COLS = 8;
constexpr int WELL_ROWS = 12;

struct field_view {
  int cursor_col = -1, cursor_row = -1;
  int lift = 0;                      // pixels the field has risen into the next row
  int colour[WELL_COLS][WELL_ROWS];  // 1-4 block colours, 5-7 power-ups, 0 empty
};

// Where the game's picture lies in a grab: game pixel (x, y) is at
// (x0 + scale * x, y0 + scale * y). Of a whole window: 1:1 or doubled from
// the corner, or in full screen the largest whole factor, centred.
struct picture_area {
  int scale, x0, y0;
};
picture_area area_of_window(int width, int height);

// False when the cursor is not on screen (a band or another screen is up).
bool read_field(const rgb_image &image, field_view &view);  // of a whole window
bool read_field(const rgb_image &image, const picture_area &area, field_view &view);

struct aim {
  int col = -1, row = -1;
  int group = 0;  // blocks that burst with it
};
// The cell of rows 3-11 in the biggest group, among equals the one that
// takes most off the tallest columns (each block weighs its column's height
// squared), then the nearest the cursor; a power-up before any group; no
// aim (col -1) when every group is a lone block, which would only cost points.
aim choose_aim(const field_view &view);
