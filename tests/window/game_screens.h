// What each of the game's screens looks like on its 320x240 picture, as
// checks a test can poll for. At 640x480 the picture is halved first
// (see to_picture in game_driver.h).
#pragma once
#include <string>

#include "xharness.h"

// ---- menus ----------------------------------------------------------------

// The large white heading at (160, 50), e.g. "OPTIONS" or "HIGH SCORES".
bool shows_heading(const rgb_image &picture, const std::string &heading);
// Which entry of a menu list starting at base_y (15 pixels apart) has the
// marker beside it, or -1 if none does.
int find_marked_entry(const rgb_image &picture, int base_y, int entries);
// A menu label in the small font at x 130.
bool shows_entry(const rgb_image &picture, int base_y, int number, const std::string &label);

// Title: heading, its three entries, and the dark ticker band over rows
// 220-232, whose only bright pixels are the credits' white letters.
bool shows_title(const rgb_image &picture);
bool shows_ticker_band(const rgb_image &picture);
bool shows_options(const rgb_image &picture);
bool shows_difficulty(const rgb_image &picture);
// The controls screen asking for one action ("up", "down", ...).
bool shows_controls_step(const rgb_image &picture, const std::string &action);
bool shows_size_changed(const rgb_image &picture);

// ---- the game -------------------------------------------------------------

// The game picture with no band over it: the white frame of the well and of
// the recharge bar whole, and the "SCORE:" label.
bool shows_live_game(const rgb_image &picture);
// A band over the game picture: the well's frame darkened to a quarter at
// row 120, the middle of every band.
bool shows_band_over_game(const rgb_image &picture);
// A banner's text on its band ("LEVEL 1", "GAME OVER").
bool shows_banner(const rgb_image &picture, const std::string &text);
// The pause overlay: rows 95-145 at a quarter brightness across the whole
// width, its two lines of text, and nothing else white in it.
bool shows_pause(const rgb_image &picture);
// The recharge bar full (red to its right end, or lit by its ready flash):
// a shot can be made.
bool shows_recharge_ready(const rgb_image &picture);
// The score as printed right-aligned at (300, 160); false if unreadable.
bool read_score(const rgb_image &picture, int &score);

struct cursor_place {
  int column = -1, row = -1;
  int lift = 0;  // how far the field has risen: every cell is drawn that much higher
};
// The cursor's white 18x18 outline in the well; column -1 if not found.
cursor_place find_cursor(const rgb_image &picture);

// The field as the picture shows it: colour blocks 1-4, 0 for anything else
// (empty, blast, power-up), read at the cursor's lift.
struct field_view {
  int cells[8][12] = {};  // [column][row], row 0 at the top
  cursor_place cursor;
};
bool read_field(const rgb_image &picture, field_view &field);
// The blocks of the cursor's colour joined to it through their sides, its
// own included: what a shot there bursts. 0 when no block is under it.
int count_cursor_group(const field_view &field);

// ---- high scores ------------------------------------------------------------

// Heading, box, its white one-pixel outline, the three rows with exactly
// these values, and the entry with its marker.
bool shows_score_table(const rgb_image &picture, int hard, int normal, int easy);
