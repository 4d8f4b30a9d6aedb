#include "field_reader.h"

#include <algorithm>
#include <cstdlib>

namespace {

picture_area area{1, 0, 0};  // of the grab being read

rgb_colour game_pixel(const rgb_image &image, int x, int y) {
  return pixel_at(image, area.x0 + x * area.scale, area.y0 + y * area.scale);
}

bool white_at(const rgb_image &image, int x, int y) {
  const rgb_colour c = game_pixel(image, x, y);
  return c.r == 255 && c.g == 255 && c.b == 255;
}

// The cursor is an 18x18 white outline at x = 10 + 18 * column.
bool outline_at(const rgb_image &image, int x, int y) {
  for (int k = 0; k < 18; k++)
    if (!white_at(image, x + k, y) || !white_at(image, x, y + k) || !white_at(image, x + 17, y + k))
      return false;
  return true;
}

// Mean colour of a block picture's inside, as our art draws them.
struct reference {
  int colour, r, g, b;
};
const reference blocks[6] = {{1, 207, 113, 109}, {2, 86, 105, 180}, {3, 112, 194, 130},
                             {4, 216, 200, 114}, {AREA_POWER_UP, 194, 129, 56},
                             {BAND_POWER_UP, 116, 150, 177}};

int classify(const rgb_image &image, int x0, int y0) {
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = y0 + 4; y < y0 + 14; y++)
    for (int x = x0 + 4; x < x0 + 14; x++) {
      if (y < 10 || y > 225) continue;
      const rgb_colour c = game_pixel(image, x, y);
      r += c.r, g += c.g, b += c.b, n++;
    }
  if (n == 0) return 0;
  r /= n, g /= n, b /= n;
  for (const reference &ref : blocks) {
    const long dr = r - ref.r, dg = g - ref.g, db = b - ref.b;
    if (dr * dr + dg * dg + db * db < 35 * 35) return ref.colour;
  }
  // Bright but no block: a colour-clear power-up, its block drawn faint
  // under the mark. Empty cells are the darkened background.
  return r + g + b > 3 * 70 ? COLOUR_POWER_UP : 0;
}

int group_size(const field_view &v, int c, int r, bool seen[WELL_COLS][WELL_ROWS]) {
  const int colour = v.colour[c][r];
  int size = 0;
  int stack[WELL_COLS * WELL_ROWS][2];
  int top = 0;
  stack[top][0] = c, stack[top][1] = r, top++;
  seen[c][r] = true;
  while (top > 0) {
    top--;
    const int x = stack[top][0], y = stack[top][1];
    size++;
    const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
    for (const auto &n : next) {
      if (n[0] < 0 || n[0] >= WELL_COLS || n[1] < 0 || n[1] >= WELL_ROWS) continue;
      if (seen[n[0]][n[1]] || v.colour[n[0]][n[1]] != colour) continue;
      seen[n[0]][n[1]] = true;
      stack[top][0] = n[0], stack[top][1] = n[1], top++;
    }
  }
  return size;
}

}  // namespace

picture_area area_of_window(int width, int height) {
  const int s = std::max(1, std::min(width / 320, height / 240));
  return {s, (width - 320 * s) / 2, (height - 240 * s) / 2};
}

bool read_field(const rgb_image &image, field_view &view) {
  if (image.width < 320 || image.height < 240) return false;
  return read_field(image, area_of_window(image.width, image.height), view);
}

bool read_field(const rgb_image &image, const picture_area &where, field_view &view) {
  area = where;
  view.cursor_col = -1;
  for (int c = 0; c < WELL_COLS && view.cursor_col < 0; c++)
    for (int y = 10; y + 17 < 228; y++)
      if (outline_at(image, 10 + 18 * c, y)) {
        // y = 10 + 18 * row - lift with lift in 0..17.
        view.cursor_col = c;
        view.cursor_row = (y - 10 + 17) / 18;
        view.lift = 18 * view.cursor_row - (y - 10);
        break;
      }
  if (view.cursor_col < 0) return false;
  for (int c = 0; c < WELL_COLS; c++)
    for (int r = 0; r < WELL_ROWS; r++)
      view.colour[c][r] = classify(image, 10 + 18 * c, 10 + 18 * r - view.lift);
  return true;
}

aim choose_aim(const field_view &view) {
  int height[WELL_COLS] = {};
  for (int c = 0; c < WELL_COLS; c++)
    for (int r = 0; r < WELL_ROWS; r++) height[c] += view.colour[c][r] != 0;
  int size[WELL_COLS][WELL_ROWS] = {}, value[WELL_COLS][WELL_ROWS] = {};
  bool seen[WELL_COLS][WELL_ROWS] = {};
  for (int c = 0; c < WELL_COLS; c++)
    for (int r = 0; r < WELL_ROWS; r++) {
      if (seen[c][r] || view.colour[c][r] == 0) continue;
      bool mine[WELL_COLS][WELL_ROWS] = {};
      const int n = group_size(view, c, r, mine);
      int v = 1000 * n;  // the most blocks first, then the tallest columns
      for (int x = 0; x < WELL_COLS; x++)
        for (int y = 0; y < WELL_ROWS; y++)
          if (mine[x][y]) v += height[x] * height[x];
      if (view.colour[c][r] >= AREA_POWER_UP) v = 1 << 20;  // clears more than any group
      for (int x = 0; x < WELL_COLS; x++)
        for (int y = 0; y < WELL_ROWS; y++)
          if (mine[x][y]) size[x][y] = n, value[x][y] = v, seen[x][y] = true;
    }
  aim best;
  int best_value = 0, best_distance = 1 << 30;
  for (int c = 0; c < WELL_COLS; c++)
    for (int r = 3; r < WELL_ROWS; r++) {
      if (size[c][r] < 2 && view.colour[c][r] < AREA_POWER_UP) continue;
      const int d = std::abs(c - view.cursor_col) + std::abs(r - view.cursor_row);
      if (value[c][r] > best_value || (value[c][r] == best_value && d < best_distance)) {
        best = {c, r, size[c][r]};
        best_value = value[c][r];
        best_distance = d;
      }
    }
  return best;
}
