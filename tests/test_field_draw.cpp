// The game screen's picture, pixel by pixel, against values worked out from
// the layout rules: background, panels, cells, rising row, warnings, HUD.
#include <allegro.h>
#include <gtest/gtest.h>

#include <set>

#include "core/clock.h"
#include "core/resources.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "render/field_draw.h"
#include "support/test_env.h"

namespace {

const std::uint32_t black = 0, white = 0xFFFFFF, red = 0xFF0000;

class field_picture : public ::testing::Test {
protected:
  void SetUp() override {
    reset_game();
    scroll_t = 37;
    tx = 0;
    ty = 11;
  }
  // The well without any cell: background, panel at 2, top panel at 1 more.
  static std::uint32_t well(int x, int y) {
    std::uint32_t p = background_pixel(x, y, scroll_t);
    if (x >= 10 && x <= 154 && y >= 10 && y <= 226) p = blended(black, p, 2);
    if (x >= 10 && x <= 154 && y >= 10 && y <= 64) p = blended(black, p, 1);
    return p;
  }
  // Every opaque pixel of a picture drawn at (x, y) is on the buffer.
  static void expect_picture(BITMAP *pic, int x, int y, int rows = -1) {
    int opaque = 0;
    for (int j = 0; j < (rows < 0 ? pic->h : rows); j++)
      for (int i = 0; i < pic->w; i++) {
        const std::uint32_t p = pixel_at(pic, i, j);
        if (p == 0xFF00FFu) continue;
        opaque++;
        ASSERT_EQ(pixel_at(buffer, x + i, y + j), p) << "picture pixel " << i << "," << j;
      }
    EXPECT_GT(opaque, 0);
  }
};

TEST_F(field_picture, the_panels_darken_the_well_over_the_background) {
  draw_field();
  for (auto [x, y] : {std::pair{10, 10}, {154, 64}, {60, 65}, {154, 226}, {100, 200}})
    EXPECT_EQ(pixel_at(buffer, x, y), well(x, y)) << x << "," << y;
  // Outside the well and off the HUD the background is untouched.
  EXPECT_EQ(pixel_at(buffer, 5, 5), background_pixel(5, 5, scroll_t));
  EXPECT_EQ(pixel_at(buffer, 170, 30), background_pixel(170, 30, scroll_t));
  EXPECT_EQ(pixel_at(buffer, 100, 230), background_pixel(100, 230, scroll_t));
  // Between the frame and the panels, and just outside the frame, by each edge.
  for (auto [x, y] : {std::pair{9, 100}, {9, 30}, {100, 9}, {155, 228}, {7, 8}, {7, 100}, {156, 30}})
    EXPECT_EQ(pixel_at(buffer, x, y), background_pixel(x, y, scroll_t)) << x << "," << y;
  // The white frame around the well, each of its four sides.
  for (auto [x, y] : {std::pair{8, 8}, {155, 227}, {80, 227}, {8, 100}, {155, 30}, {80, 8}})
    EXPECT_EQ(pixel_at(buffer, x, y), white) << x << "," << y;
}

TEST_F(field_picture, cells_show_their_pictures_at_their_places) {
  cell(0, 11) = 1;
  cell(7, 11) = 4;
  cell(3, 5) = 2;
  cell(5, 7) = 3;
  cell(6, 9) = -2;
  cell(6, 10) = -3;
  cell(2, 10) = -4;
  cell(4, 0) = -3;  // a blast carried into the top row
  ty = 3;
  draw_field();
  expect_picture(block[0], 10, 208);
  expect_picture(block[3], 136, 208);
  expect_picture(block[1], 64, 100);
  expect_picture(block[2], 100, 136);
  expect_picture(blast[0], 118, 172);
  expect_picture(blast[1], 118, 190);
  expect_picture(blast[2], 46, 190);
  expect_picture(blast[1], 82, 10);
}

TEST_F(field_picture, the_whole_field_is_drawn_lift_pixels_higher) {
  cell(1, 11) = 2;
  cell(4, 6) = 3;
  lift = 16;
  ty = 3;
  draw_field();
  expect_picture(block[1], 28, 208 - 16);
  expect_picture(block[2], 82, 118 - 16);
}

// Codes 5 and 6 are their own pictures over a shadow; 7 to 10 show the
// block of the colour they clear, faint, under the colour-clear mark.
TEST_F(field_picture, power_ups_show_their_shadow_and_picture) {
  for (int code = 5; code <= 10; code++) cell(code - 4, 5) = code;
  ty = 3;
  draw_field();
  const int y = 100;
  for (int code = 5; code <= 10; code++) {
    const int x = 10 + 18 * (code - 4);
    for (int j = 0; j < 18; j++)
      for (int i = 0; i < 18; i++) {
        std::uint32_t want = well(x + i, y + j), mark = pixel_at(pow_up[2], i, j);
        if (code <= 6) {
          if (i >= 2 && i <= 16 && j >= 2 && j <= 16) want = blended(black, want, 1);
          mark = pixel_at(pow_up[code - 5], i, j);
        } else if (const std::uint32_t b = pixel_at(block[code - 7], i, j); b != 0xFF00FFu) {
          want = blended(b, want, 2);
        }
        if (mark != 0xFF00FFu) want = mark;
        ASSERT_EQ(pixel_at(buffer, x + i, y + j), want) << "code " << code << " at " << i << "," << j;
      }
  }
}

TEST_F(field_picture, the_rising_row_shows_the_top_lift_rows_of_its_picture) {
  lift = 16;
  ty = 3;
  draw_field();
  for (int c = 0; c < COLS; c++) expect_picture(n_block, 10 + 18 * c, 210, 16);
  lift = 6;
  draw_field();
  expect_picture(n_block, 10, 220, 6);
  // With lift 0 nothing is drawn below row 11, which ends at y 225.
  lift = 0;
  draw_field();
  for (int x = 10; x <= 154; x += 9) EXPECT_EQ(pixel_at(buffer, x, 226), well(x, 226));
}

TEST_F(field_picture, a_column_with_row_1_occupied_flashes_in_three_strengths) {
  cell(2, 1) = 1;
  cell(2, 2) = 1;  // row 1 decides even when row 2 is occupied too
  ty = 3;
  const int x = 10 + 36 + 4, y = 150;  // an empty cell of column 2
  const int strengths[] = {1, 1, 2, 2, 3, 3, 1};
  const int frames[] = {0, 4, 5, 9, 10, 14, 15};
  for (int k = 0; k < 7; k++) {
    loop_num = frames[k];
    draw_field();
    EXPECT_EQ(pixel_at(buffer, x, y), blended(red, well(x, y), strengths[k])) << "frame " << frames[k];
  }
  // The warning spans y 11 to 224 and the column's full width.
  EXPECT_EQ(pixel_at(buffer, 46, 11), blended(red, well(46, 11), 1));
  EXPECT_EQ(pixel_at(buffer, 63, 224), blended(red, well(63, 224), 1));
  EXPECT_EQ(pixel_at(buffer, 64, 150), well(64, 150));
  EXPECT_EQ(pixel_at(buffer, 50, 10), well(50, 10));
  EXPECT_EQ(pixel_at(buffer, 50, 225), well(50, 225));
}

TEST_F(field_picture, a_column_with_only_row_2_occupied_flashes_in_two_strengths) {
  cell(5, 2) = 6;  // power-ups warn too
  ty = 3;
  const int x = 10 + 90 + 9, y = 150;
  const int frames[] = {0, 5, 6, 11, 12};
  const int strengths[] = {1, 1, 2, 2, 1};
  for (int k = 0; k < 5; k++) {
    loop_num = frames[k];
    draw_field();
    EXPECT_EQ(pixel_at(buffer, x, y), blended(red, well(x, y), strengths[k])) << "frame " << frames[k];
  }
}

TEST_F(field_picture, blast_cells_never_raise_a_warning) {
  cell(4, 1) = -2;
  cell(4, 2) = -4;
  ty = 3;
  draw_field();
  EXPECT_EQ(pixel_at(buffer, 10 + 72 + 9, 150), well(10 + 72 + 9, 150));
}

TEST_F(field_picture, the_cursor_outline_stays_white_over_a_warning) {
  cell(3, 1) = 2;
  tx = 3;
  ty = 6;
  loop_num = 12;
  draw_field();
  const int x1 = 10 + 54, y1 = 10 + 108, x2 = x1 + 17, y2 = y1 + 17;
  for (int i = x1; i <= x2; i++) {
    EXPECT_EQ(pixel_at(buffer, i, y1), white);
    EXPECT_EQ(pixel_at(buffer, i, y2), white);
  }
  for (int j = y1; j <= y2; j++) {
    EXPECT_EQ(pixel_at(buffer, x1, j), white);
    EXPECT_EQ(pixel_at(buffer, x2, j), white);
  }
  EXPECT_EQ(pixel_at(buffer, x1 + 5, y1 + 5), blended(red, well(x1 + 5, y1 + 5), 3));
}

TEST_F(field_picture, the_cursor_follows_lift) {
  tx = 7;
  ty = 11;
  lift = 10;
  draw_field();
  EXPECT_EQ(pixel_at(buffer, 136, 208 - 10), white);
  EXPECT_EQ(pixel_at(buffer, 153, 225 - 10), white);
  EXPECT_EQ(pixel_at(buffer, 144, 225 - 10), white);  // the bottom edge moved up as well
  EXPECT_EQ(pixel_at(buffer, 136, 216 - 10), white);
}

TEST_F(field_picture, the_recharge_bar_grows_as_the_recharge_falls) {
  const int y = 105;
  recharge = 156;  // the frame of a shot
  draw_field();
  for (int x = 191; x <= 192; x++) EXPECT_EQ(pixel_at(buffer, x, y), red) << x;
  EXPECT_EQ(pixel_at(buffer, 189, y), background_pixel(189, y, scroll_t));
  EXPECT_EQ(pixel_at(buffer, 193, y), background_pixel(193, y, scroll_t));
  recharge = 80;
  draw_field();
  EXPECT_EQ(pixel_at(buffer, 230, y), red);
  EXPECT_EQ(pixel_at(buffer, 231, y), background_pixel(231, y, scroll_t));
  // The outline is always white.
  EXPECT_EQ(pixel_at(buffer, 190, 100), white);
  EXPECT_EQ(pixel_at(buffer, 270, 110), white);
  EXPECT_EQ(pixel_at(buffer, 250, 100), white);
}

TEST_F(field_picture, a_ready_bar_flashes_lighter_two_frames_in_four) {
  recharge = 0;
  const std::uint32_t light = blended(white, red, 2);
  for (int frame = 0; frame < 8; frame++) {
    loop_num = frame;
    draw_field();
    const std::uint32_t want = frame % 4 < 2 ? light : red;
    EXPECT_EQ(pixel_at(buffer, 191, 105), want) << frame;
    EXPECT_EQ(pixel_at(buffer, 269, 101), want) << frame;
    EXPECT_EQ(pixel_at(buffer, 230, 111), background_pixel(230, 111, scroll_t)) << "below the bar";
  }
}

// The score as the library prints it right-aligned at (300, 160), or the
// label centred at (240, 130).
std::vector<std::pair<int, int>> score_pixels(const char *text, bool label = false) {
  BITMAP *ref = create_bitmap(320, 240);
  clear_to_color(ref, makecol(0, 0, 0));
  if (label)
    textprintf_centre_ex(ref, lrg_txt, 240, 130, makecol(255, 255, 255), -1, "%s", text);
  else
    textprintf_right_ex(ref, lrg_txt, 300, 160, makecol(255, 255, 255), -1, "%s", text);
  std::vector<std::pair<int, int>> at;
  for (int y = 120; y < 240; y++)
    for (int x = 160; x < 320; x++)
      if (pixel_at(ref, x, y) == 0xFFFFFFu) at.push_back({x, y});
  destroy_bitmap(ref);
  return at;
}

TEST_F(field_picture, a_negative_score_is_printed_with_its_sign) {
  score = -30;
  draw_field();
  const auto want = score_pixels("-30");
  ASSERT_FALSE(want.empty());
  for (auto [x, y] : want) ASSERT_EQ(pixel_at(buffer, x, y), white) << x << "," << y;
  // Between its letters the background shows: the text has no box of its own.
  const std::set<std::pair<int, int>> glyphs(want.begin(), want.end());
  int wrong = 0;
  for (int y = 160; y < 160 + text_height(lrg_txt); y++)
    for (int x = want.front().first; x <= 300; x++)
      if (!glyphs.count({x, y})) wrong += pixel_at(buffer, x, y) != background_pixel(x, y, scroll_t);
  EXPECT_EQ(wrong, 0);
  for (auto [x, y] : score_pixels("SCORE:", true)) ASSERT_EQ(pixel_at(buffer, x, y), white) << x << "," << y;
  // The minus sign reaches further left than "30" alone would.
  const auto plain = score_pixels("30");
  int leftmost_signed = 320, leftmost_plain = 320;
  for (auto p : want) leftmost_signed = std::min(leftmost_signed, p.first);
  for (auto p : plain) leftmost_plain = std::min(leftmost_plain, p.first);
  EXPECT_LT(leftmost_signed, leftmost_plain);
}

}  // namespace
