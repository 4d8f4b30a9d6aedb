// Screen checks built from the game's layout: where it prints what, in which
// font, and which outlines it draws in white.
#include "game_screens.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "game_art.h"

namespace {

const rgb_colour white{255, 255, 255};
// White beneath a band (black at strength 3): a quarter, rounded down.
const rgb_colour white_under_band{63, 63, 63};

bool is_white(const rgb_image &p, int x, int y) { return pixel_at(p, x, y) == white; }

// Every pixel of a one-pixel outline with both corners included is white.
bool white_outline(const rgb_image &p, int x0, int y0, int x1, int y1) {
  for (int x = x0; x <= x1; ++x)
    if (!is_white(p, x, y0) || !is_white(p, x, y1)) return false;
  for (int y = y0; y <= y1; ++y)
    if (!is_white(p, x0, y) || !is_white(p, x1, y)) return false;
  return true;
}

int brightest_channel(rgb_colour c) { return std::max({c.r, c.g, c.b}); }

// Every pixel of the box (corners included) is pure white (text) or has no
// channel above limit. The background's brightest channel is 97, so black at
// strength 2 leaves at most 48 and at strength 3 at most 24; white under
// strength 3 becomes 63.
bool dark_box(const rgb_image &p, int x0, int y0, int x1, int y1, int limit) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const rgb_colour c = pixel_at(p, x, y);
      if (!(c == white) && brightest_channel(c) > limit) return false;
    }
  return true;
}

}  // namespace

bool shows_heading(const rgb_image &picture, const std::string &heading) {
  return shows_text(picture, game_font::large, text_align::centre, 160, 50, heading);
}

int find_marked_entry(const rgb_image &picture, int base_y, int entries) {
  for (int i = 0; i < entries; ++i)
    if (fireball_at(picture, 110, base_y + 15 * i)) return i;
  return -1;
}

bool shows_entry(const rgb_image &picture, int base_y, int number, const std::string &label) {
  return shows_text(picture, game_font::small, text_align::left, 130, base_y + 15 * number, label);
}

bool shows_ticker_band(const rgb_image &picture) {
  // Some letters of the credits line are always in the strip.
  return dark_box(picture, 0, 220, 319, 232, 48) &&
         count_colour(picture, 0, 220, 320, 12, white) > 20;
}

bool shows_title(const rgb_image &picture) {
  return shows_heading(picture, "KROVE VESTIN") && shows_entry(picture, 125, 0, "START") &&
         shows_entry(picture, 125, 1, "OPTIONS") && shows_entry(picture, 125, 2, "QUIT") &&
         shows_ticker_band(picture);
}

bool shows_options(const rgb_image &picture) {
  static const char *const labels[5] = {"SOUND [N/A]", "SCREEN SIZE", "GAME DIFFICULTY", "CONTOLS",
                                        "BACK"};
  if (!shows_heading(picture, "OPTIONS")) return false;
  for (int i = 0; i < 5; ++i)
    if (!shows_entry(picture, 100, i, labels[i])) return false;
  return true;
}

bool shows_difficulty(const rgb_image &picture) {
  return shows_heading(picture, "DIFFICULTY") && shows_entry(picture, 110, 0, "Easy") &&
         shows_entry(picture, 110, 1, "Normal") && shows_entry(picture, 110, 2, "Hard");
}

bool shows_controls_step(const rgb_image &picture, const std::string &action) {
  return shows_heading(picture, "CONTROLS") &&
         shows_text(picture, game_font::small, text_align::centre, 160, 120, "press " + action);
}

bool shows_size_changed(const rgb_image &picture) {
  return shows_text(picture, game_font::small, text_align::centre, 160, 110,
                    "Screen size changed.") &&
         shows_text(picture, game_font::small, text_align::centre, 160, 130, "Press fire.");
}

bool shows_live_game(const rgb_image &picture) {
  return white_outline(picture, 8, 8, 155, 227) && white_outline(picture, 190, 100, 270, 110) &&
         shows_text(picture, game_font::large, text_align::centre, 240, 130, "SCORE:");
}

bool shows_band_over_game(const rgb_image &picture) {
  // The frame's top edge stays white: every band lies well below row 8.
  for (int x = 8; x <= 155; ++x)
    if (!is_white(picture, x, 8)) return false;
  return pixel_at(picture, 8, 120) == white_under_band;
}

bool shows_banner(const rgb_image &picture, const std::string &text) {
  return shows_band_over_game(picture) &&
         shows_text(picture, game_font::large, text_align::centre, 160, 105, text);
}

bool shows_pause(const rgb_image &picture) {
  if (!shows_text(picture, game_font::large, text_align::centre, 160, 100, "GAME PAUSED"))
    return false;
  if (!shows_text(picture, game_font::small, text_align::centre, 160, 132,
                  "PRESS AGAIN TO UNPAUSE"))
    return false;
  const text_stamp big = stamp_text(game_font::large, text_align::centre, 160, 100, "GAME PAUSED");
  const text_stamp small =
      stamp_text(game_font::small, text_align::centre, 160, 132, "PRESS AGAIN TO UNPAUSE");
  int ink = 0;
  for (unsigned char i : big.ink) ink += i;
  for (unsigned char i : small.ink) ink += i;
  // The frame of the well is dimmed exactly at the band's edges 95 and 145.
  return dark_box(picture, 0, 95, 319, 145, 63) &&
         count_colour(picture, 0, 95, 320, 51, white) == ink && is_white(picture, 8, 94) &&
         pixel_at(picture, 8, 95) == white_under_band &&
         pixel_at(picture, 8, 145) == white_under_band && is_white(picture, 8, 146);
}

bool shows_recharge_ready(const rgb_image &picture) {
  // The red fill ends at x 270 - recharge/2, and recharge falls in steps of 4.
  const rgb_colour end = pixel_at(picture, 269, 105);
  return end == rgb_colour{255, 0, 0} || end == rgb_colour{255, 127, 127};
}

bool read_score(const rgb_image &picture, int &score) {
  const std::string text = read_number_right(picture, game_font::large, 300, 160);
  if (text.empty() || text == "-") return false;
  // Nothing else white to its left: the whole number was read.
  const text_stamp read = stamp_text(game_font::large, text_align::right, 300, 160, text);
  if (count_colour(picture, read.x - 40, 160, 40, read.h, white) != 0) return false;
  char *end = nullptr;
  score = static_cast<int>(std::strtol(text.c_str(), &end, 10));
  return end && *end == '\0';
}

cursor_place find_cursor(const rgb_image &picture) {
  cursor_place found;
  for (int column = 0; column < 8; ++column) {
    const int x0 = 10 + 18 * column;
    for (int y0 = 10; y0 + 17 <= 226; ++y0) {
      if (!white_outline(picture, x0, y0, x0 + 17, y0 + 17)) continue;
      // y0 = 10 + 18*row - lift with lift 0..16, so rounding up gives the row.
      found.column = column;
      found.row = (y0 - 10 + 17) / 18;
      found.lift = 10 + 18 * found.row - y0;
      return found;
    }
  }
  return found;
}

bool read_field(const rgb_image &picture, field_view &field) {
  field.cursor = find_cursor(picture);
  if (field.cursor.column < 0) return false;
  for (int c = 0; c < 8; ++c)
    for (int r = 0; r < 12; ++r)
      field.cells[c][r] = block_colour_at(picture, 10 + 18 * c, 10 + 18 * r - field.cursor.lift);
  return true;
}

int count_cursor_group(const field_view &field) {
  const int colour = field.cells[field.cursor.column][field.cursor.row];
  if (colour == 0) return 0;
  bool seen[8][12] = {};
  std::vector<cursor_place> todo(1, field.cursor);
  seen[field.cursor.column][field.cursor.row] = true;
  int count = 0;
  while (!todo.empty()) {
    const cursor_place at = todo.back();
    todo.pop_back();
    ++count;
    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto &d : steps) {
      const int c = at.column + d[0], r = at.row + d[1];
      if (c < 0 || c > 7 || r < 0 || r > 11 || seen[c][r] || field.cells[c][r] != colour) continue;
      seen[c][r] = true;
      cursor_place next;
      next.column = c;
      next.row = r;
      todo.push_back(next);
    }
  }
  return count;
}

bool shows_score_table(const rgb_image &picture, int hard, int normal, int easy) {
  if (!shows_heading(picture, "HIGH SCORES") || !white_outline(picture, 60, 95, 260, 145))
    return false;
  const char *const labels[3] = {"HARD:", "NORMAL:", "EASY:"};
  const int values[3] = {hard, normal, easy};
  int ink = 0;
  for (int i = 0; i < 3; ++i) {
    const int y = 100 + 15 * i;
    const text_stamp label = stamp_text(game_font::small, text_align::left, 70, y, labels[i]);
    const text_stamp value =
        stamp_text(game_font::small, text_align::right, 250, y, std::to_string(values[i]));
    if (count_stamp_misses(picture, label) != 0 || count_stamp_misses(picture, value) != 0)
      return false;
    for (unsigned char on : label.ink) ink += on;
    for (unsigned char on : value.ink) ink += on;
  }
  // Inside the outline the box is the background at half strength: its only
  // white is the table's text, so no stray digit can hide anywhere in it.
  if (!dark_box(picture, 61, 96, 259, 144, 48) ||
      count_colour(picture, 61, 96, 199, 49, white) != ink)
    return false;
  return shows_entry(picture, 165, 0, "Return to title") && fireball_at(picture, 110, 165);
}
