// Software translucency on 32-bit memory bitmaps.
#include <allegro.h>
#include <gtest/gtest.h>

#include <tuple>

#include "render/blend.h"
#include "support/test_env.h"

namespace {

std::int32_t merged(std::uint32_t colour, std::uint32_t under, int strength) {
  std::int32_t out = 0x12345678;
  merge32(&out, static_cast<std::int32_t>(colour), static_cast<std::int32_t>(under), strength);
  return out;
}

TEST(merge32, gives_the_worked_values) {
  EXPECT_EQ(merged(0xFFFFFF, 0x000000, 2), 0x7F7F7F);
  EXPECT_EQ(merged(0x000000, 0xFFFFFF, 3), 0x3F3F3F);
  EXPECT_EQ(merged(0x000000, 0xFFFFFF, 1), 0xBFBFBF);
  EXPECT_EQ(merged(0xFF0000, 0x0000FF, 1), 0x3F00BF);
}

TEST(merge32, rounds_each_channel_down_and_clears_the_fourth_byte) {
  // Per channel: (3*0x10 + 3)/4, (3*0x10 + 2)/4, (3*0x10 + 1)/4, all 0x0C.
  EXPECT_EQ(merged(0x101010, 0xFF030201, 3), 0x0C0C0C);
  EXPECT_EQ(merged(0x030303, 0x000000, 1), 0x000000);
  EXPECT_EQ(merged(0x030303, 0x000000, 2), 0x010101);
  EXPECT_EQ(merged(0x0000FF, 0xFF0000, 3), 0x3F00BF);
  EXPECT_EQ(merged(0x000000, 0xAAFFFFFF, 2) & 0xFF000000, 0);
  EXPECT_EQ(merged(0xFFFFFF, 0xFF000000, 4), 0xFFFFFF);
  EXPECT_EQ(merged(0xFFFFFF, 0x00123456, 0), 0x123456);
}

TEST(merge32, writes_exactly_one_pixel) {
  std::int32_t words[3] = {1, 2, 3};
  merge32(&words[1], 0xFFFFFF, 0, 2);
  EXPECT_EQ(words[0], 1);
  EXPECT_EQ(words[1], 0x7F7F7F);
  EXPECT_EQ(words[2], 3);
}

class blending : public ::testing::Test {
protected:
  BITMAP *bmp = nullptr;
  void SetUp() override {
    reset_game();
    bmp = create_bitmap(320, 240);
    clear_to_color(bmp, makecol(255, 255, 255));
  }
  void TearDown() override { destroy_bitmap(bmp); }

  // The pixels that trans_rect darkened, as a bounding box and a count.
  struct changed {
    int count = 0, x1 = 9999, y1 = 9999, x2 = -1, y2 = -1;
  };
  changed darkened() const {
    changed c;
    for (int y = 0; y < bmp->h; y++)
      for (int x = 0; x < bmp->w; x++)
        if (pixel_at(bmp, x, y) != 0xFFFFFFu) {
          c.count++;
          c.x1 = std::min(c.x1, x), c.y1 = std::min(c.y1, y);
          c.x2 = std::max(c.x2, x), c.y2 = std::max(c.y2, y);
        }
    return c;
  }
};

TEST_F(blending, a_rectangle_blends_both_corners_included) {
  trans_rect(bmp, 10, 20, 14, 22, makecol(0, 0, 0), 1);
  const changed c = darkened();
  EXPECT_EQ(c.count, 5 * 3);
  EXPECT_EQ(c.x1, 10);
  EXPECT_EQ(c.y1, 20);
  EXPECT_EQ(c.x2, 14);
  EXPECT_EQ(c.y2, 22);
  EXPECT_EQ(pixel_at(bmp, 12, 21), 0xBFBFBFu);
}

TEST_F(blending, reversed_corners_blend_the_same_pixels) {
  trans_rect(bmp, 14, 22, 10, 20, makecol(0, 0, 0), 2);
  changed c = darkened();
  EXPECT_EQ(c.count, 15);
  EXPECT_EQ(c.x1, 10);
  EXPECT_EQ(c.y2, 22);
  clear_to_color(bmp, makecol(255, 255, 255));
  trans_rect(bmp, 10, 22, 14, 20, makecol(0, 0, 0), 2);  // only y reversed
  c = darkened();
  EXPECT_EQ(c.count, 15);
  EXPECT_EQ(pixel_at(bmp, 10, 20), 0x7F7F7Fu);
}

TEST_F(blending, coinciding_corners_blend_one_pixel) {
  trans_rect(bmp, 33, 44, 33, 44, makecol(0, 0, 0), 3);
  EXPECT_EQ(darkened().count, 1);
  EXPECT_EQ(pixel_at(bmp, 33, 44), 0x3F3F3Fu);
  trans_rect(bmp, 0, 0, 0, 0, makecol(0, 0, 0), 3);  // the first pixel too
  EXPECT_EQ(darkened().count, 2);
}

TEST_F(blending, the_pause_band_covers_all_columns_and_51_rows) {
  trans_rect(bmp, 0, 95, 320, 145, makecol(0, 0, 0), 3);
  const changed c = darkened();
  EXPECT_EQ(c.count, 320 * 51);
  EXPECT_EQ(c.x1, 0);
  EXPECT_EQ(c.x2, 319);
  EXPECT_EQ(c.y1, 95);
  EXPECT_EQ(c.y2, 145);
}

// Past each edge, and the last column or row alone; in the window's channel
// layout and in one whose red and blue are not the outer bytes.
TEST_F(blending, rectangles_partly_outside_are_clipped_to_the_bitmap) {
  const struct { int x1, y1, x2, y2, count, bx1, by1, bx2, by2; } cases[] = {
      {-5, -7, 2, 3, 3 * 4, 0, 0, 2, 3},
      {315, 235, 400, 300, 5 * 5, 315, 235, 319, 239},
      {319, -9, 330, 500, 240, 319, 0, 319, 239},
      {-1, 239, 320, 260, 320, 0, 239, 319, 239},
      {-50, -50, 999, 999, 320 * 240, 0, 0, 319, 239},
  };
  for (int layout : {16, 8}) {
    _rgb_r_shift_32 = layout;
    _rgb_g_shift_32 = 24 - layout;
    for (const auto &k : cases) {
      clear_to_color(bmp, makecol(255, 255, 255));
      trans_rect(bmp, k.x1, k.y1, k.x2, k.y2, makecol(0, 0, 0), 1);
      const changed c = darkened();
      EXPECT_EQ(std::make_tuple(c.count, c.x1, c.y1, c.x2, c.y2),
                std::make_tuple(k.count, k.bx1, k.by1, k.bx2, k.by2))
          << "red at bit " << layout << ", corners " << k.x1 << "," << k.y1 << " " << k.x2 << "," << k.y2;
    }
  }
  _rgb_r_shift_32 = 16;
  _rgb_g_shift_32 = 8;
}

TEST_F(blending, rectangles_wholly_outside_change_nothing) {
  trans_rect(bmp, -10, 5, -1, 50, makecol(0, 0, 0), 2);    // left
  trans_rect(bmp, 320, 5, 330, 50, makecol(0, 0, 0), 2);   // right
  trans_rect(bmp, 5, -20, 50, -1, makecol(0, 0, 0), 2);    // above
  trans_rect(bmp, 5, 240, 50, 260, makecol(0, 0, 0), 2);   // below
  EXPECT_EQ(darkened().count, 0);
}

TEST_F(blending, a_second_blend_darkens_again) {
  trans_rect(bmp, 0, 0, 3, 3, makecol(0, 0, 0), 2);
  trans_rect(bmp, 0, 0, 3, 1, makecol(0, 0, 0), 1);
  EXPECT_EQ(pixel_at(bmp, 0, 0), 0x5F5F5Fu);  // 0x7F * 3/4
  EXPECT_EQ(pixel_at(bmp, 0, 2), 0x7F7F7Fu);
}

TEST_F(blending, a_fourth_byte_beneath_comes_out_as_zero) {
  reinterpret_cast<std::uint32_t *>(bmp->line[5])[5] = 0xAB808080u;
  trans_rect(bmp, 5, 5, 5, 5, makecol(0, 0, 0), 2);
  EXPECT_EQ(pixel_at(bmp, 5, 5), 0x00404040u);
}

TEST_F(blending, trans_draw_skips_exact_magenta_and_blends_the_rest) {
  BITMAP *sprite = create_bitmap(4, 3);
  clear_to_color(sprite, makecol(255, 0, 255));
  putpixel(sprite, 1, 1, makecol(0, 0, 0));
  putpixel(sprite, 2, 1, makecol(255, 0, 254));  // nearly magenta is drawn
  trans_draw(bmp, sprite, 100, 50, 2);
  EXPECT_EQ(pixel_at(bmp, 101, 51), 0x7F7F7Fu);
  EXPECT_EQ(pixel_at(bmp, 102, 51), rgb(255, 127, 254));
  EXPECT_EQ(darkened().count, 2);
  destroy_bitmap(sprite);
}

TEST_F(blending, trans_draw_of_an_all_magenta_picture_changes_nothing) {
  BITMAP *sprite = create_bitmap(18, 18);
  clear_to_color(sprite, makecol(255, 0, 255));
  trans_draw(bmp, sprite, 0, 0, 3);
  EXPECT_EQ(darkened().count, 0);
  destroy_bitmap(sprite);
}

TEST_F(blending, trans_draw_clips_at_every_edge) {
  BITMAP *sprite = create_bitmap(10, 10);
  clear_to_color(sprite, makecol(0, 0, 0));
  trans_draw(bmp, sprite, -4, -6, 2);  // 6 x 4 inside
  EXPECT_EQ(darkened().count, 24);
  clear_to_color(bmp, makecol(255, 255, 255));
  trans_draw(bmp, sprite, 317, 236, 2);  // 3 x 4 inside
  const changed c = darkened();
  EXPECT_EQ(c.count, 12);
  EXPECT_EQ(c.x1, 317);
  EXPECT_EQ(c.y1, 236);
  clear_to_color(bmp, makecol(255, 255, 255));
  trans_draw(bmp, sprite, 320, 0, 2);
  trans_draw(bmp, sprite, 0, -10, 2);
  EXPECT_EQ(darkened().count, 0);
  destroy_bitmap(sprite);
}

TEST(swap, exchanges_two_integers) {
  int a = 3, b = -8;
  SWAP(a, b);
  EXPECT_EQ(a, -8);
  EXPECT_EQ(b, 3);
}

}  // namespace
