// Sparks of a power-up burst and the floating score texts.
#include <allegro.h>
#include <gtest/gtest.h>

#include "core/resources.h"
#include "render/effects.h"
#include "support/test_env.h"

namespace {

const std::uint32_t yellow = 0xFFFF00;

class effects : public ::testing::Test {
protected:
  void SetUp() override { reset_game(); }
};

TEST_F(effects, a_burst_is_a_star_of_eight_sparks) {
  splash(73, 109);
  ASSERT_EQ(spark.size(), 8u);
  const int moves[8][2] = {{4, 0}, {-4, 0}, {0, -4}, {0, 4}, {3, -3}, {-3, -3}, {3, 3}, {-3, 3}};
  for (int i = 0; i < 8; i++) {
    EXPECT_EQ(spark[i].x, 73);
    EXPECT_EQ(spark[i].y, 109);
    EXPECT_EQ(spark[i].dx, moves[i][0]);
    EXPECT_EQ(spark[i].dy, moves[i][1]);
    EXPECT_EQ(spark[i].life, 12);
  }
}

TEST_F(effects, sparks_move_shrink_and_leave_one_per_frame_after_the_first) {
  splash(73, 109);
  for (int k = 1; k <= 11; k++) {
    clear_to_color(buffer, makecol(0, 0, 0));
    run_sparks();
    ASSERT_EQ(spark.size(), 8u) << "frame " << k;
    const int radius = (12 - k) / 4;
    // First spark: straight to the right; fifth: up and to the right.
    EXPECT_EQ(spark[0].x, 73 + 4 * k);
    EXPECT_EQ(spark[0].y, 109);
    EXPECT_EQ(spark[4].x, 73 + 3 * k);
    EXPECT_EQ(spark[4].y, 109 - 3 * k);
    EXPECT_EQ(pixel_at(buffer, spark[0].x, 109), yellow);
    EXPECT_EQ(pixel_at(buffer, spark[0].x + radius, 109), yellow);
    EXPECT_EQ(pixel_at(buffer, spark[0].x + radius + 1, 109), 0u) << "frame " << k;
  }
  // In the frame of the shot: the first at (77, 109) with radius 2, the fifth at (76, 106).
  // Frame 12: the first spark expires and hides the other seven.
  clear_to_color(buffer, makecol(0, 0, 0));
  run_sparks();
  EXPECT_EQ(spark.size(), 7u);
  EXPECT_EQ(spark[0].x, 73 - 4 * 11);  // not moved in this frame
  int lit = 0;
  for (int y = 0; y < 240; y++)
    for (int x = 0; x < 320; x++) lit += pixel_at(buffer, x, y) != 0;
  EXPECT_EQ(lit, 0);
  for (int k = 13; k <= 19; k++) {
    run_sparks();
    EXPECT_EQ(spark.size(), static_cast<size_t>(19 - k)) << "frame " << k;
  }
}

TEST_F(effects, the_first_frame_of_a_burst_matches_the_example) {
  splash(73, 109);
  clear_to_color(buffer, makecol(0, 0, 0));
  run_sparks();
  EXPECT_EQ(spark[0].x, 77);
  EXPECT_EQ(spark[0].y, 109);
  EXPECT_EQ(spark[0].life / 4, 2);
  EXPECT_EQ(spark[4].x, 76);
  EXPECT_EQ(spark[4].y, 106);
  EXPECT_EQ(pixel_at(buffer, 79, 109), yellow);
  EXPECT_EQ(pixel_at(buffer, 76, 104), yellow);
}

int black_pixels_near(int x, int y) {
  int n = 0;
  for (int j = y; j < y + 12; j++)
    for (int i = x - 20; i < x + 20; i++) n += pixel_at(buffer, i, j) == 0;
  return n;
}

TEST_F(effects, texts_rise_for_a_gain_and_sink_otherwise) {
  create_msg(100, 100, 90);
  create_msg(200, 100, -10);
  create_msg(150, 50, 0);
  for (int k = 1; k <= 24; k++) {
    clear_to_color(buffer, makecol(255, 255, 255));
    run_texts();
    ASSERT_EQ(score_msg.size(), 3u);
    EXPECT_EQ(score_msg[0].y, 100 - k);
    EXPECT_EQ(score_msg[1].y, 100 + k);
    EXPECT_EQ(score_msg[2].y, 50 + k);
    EXPECT_GT(black_pixels_near(100, 100 - k), 0) << "frame " << k;
    EXPECT_GT(black_pixels_near(200, 100 + k), 0);
  }
  run_texts();
  EXPECT_EQ(score_msg.size(), 2u);  // the first expired in frame 25
}

TEST_F(effects, a_gain_is_shown_with_its_plus_sign) {
  create_msg(160, 100, 40);
  clear_to_color(buffer, makecol(255, 255, 255));
  run_texts();
  BITMAP *ref = create_bitmap(320, 240);
  clear_to_color(ref, makecol(255, 255, 255));
  textprintf_centre_ex(ref, reg_txt, 160, 99, makecol(0, 0, 0), -1, "+40");
  for (int y = 90; y < 120; y++)
    for (int x = 120; x < 200; x++) ASSERT_EQ(pixel_at(buffer, x, y), pixel_at(ref, x, y)) << x << "," << y;
  destroy_bitmap(ref);
}

TEST_F(effects, an_expiring_text_hides_the_texts_behind_it_for_that_frame) {
  create_msg(100, 100, 10);
  create_msg(200, 150, 20);
  score_msg[0].life = 1;
  clear_to_color(buffer, makecol(255, 255, 255));
  run_texts();
  ASSERT_EQ(score_msg.size(), 1u);
  EXPECT_EQ(score_msg[0].y, 150);
  EXPECT_EQ(score_msg[0].life, 25);
  EXPECT_EQ(black_pixels_near(200, 150), 0);
  run_texts();
  EXPECT_EQ(score_msg[0].y, 149);
}

}  // namespace
