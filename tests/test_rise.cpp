// The rise of the field, levels and the end of a game, frame by frame.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>

#include "core/clock.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "input/keys.h"
#include "render/effects.h"
#include "support/test_env.h"

namespace {

class rising : public ::testing::Test {
protected:
  void SetUp() override { reset_game(); }

  static void start(int difficulty, int divisor) {
    mode = difficulty;
    spd = divisor;
    new_game();
  }
  // Runs game updates until the next push-up; returns its frame number.
  // The field is emptied every frame so the game never reaches the top.
  static int next_push_up() {
    for (;;) {
      const int rows_left = nxt_lvl, lvl = level;
      std::memset(set_grid, 0, sizeof set_grid);
      const int frame = loop_num;
      game_update();
      loop_num++;
      if (nxt_lvl != rows_left || level != lvl) return frame;
    }
  }
};

TEST_F(rising, a_new_game_resets_its_counters_and_keeps_the_rest) {
  mode = 3;
  lift = 12;
  n_power = 7;
  reload = 4;
  key_fire = true;
  spd_up = 6;
  level = 5;
  score = 900;
  recharge = 80;
  game_over = true;
  loop_num = 77;
  tx = ty = 6;
  splash(10, 10);
  new_game();
  EXPECT_EQ(spd_up, 0);
  EXPECT_EQ(level, 1);
  EXPECT_EQ(nxt_lvl, 45);
  EXPECT_EQ(recharge, 0);
  EXPECT_EQ(score, 0);
  EXPECT_FALSE(game_over);
  EXPECT_EQ(loop_num, 0);
  EXPECT_EQ(tx, 0);
  EXPECT_EQ(ty, 0);
  EXPECT_EQ(lift, 12);
  EXPECT_EQ(n_power, 7);
  EXPECT_EQ(reload, 4);
  EXPECT_TRUE(key_fire);
  EXPECT_EQ(spark.size(), 8u);
  for (int c = 0; c < COLS; c++) {
    EXPECT_EQ(cell(c, 6), 0);
    EXPECT_GE(cell(c, 7), 1);
  }
}

TEST_F(rising, on_normal_the_first_push_up_comes_in_frame_144_then_every_162) {
  start(2, 18);
  EXPECT_EQ(next_push_up(), 144);
  EXPECT_EQ(next_push_up(), 144 + 162);
  EXPECT_EQ(next_push_up(), 144 + 2 * 162);
}

TEST_F(rising, a_game_after_one_given_up_at_lift_12_pushes_up_after_three_increments) {
  lift = 12;
  start(2, 18);
  EXPECT_EQ(next_push_up(), 36);
}

TEST_F(rising, push_ups_to_reach_levels_2_to_5) {
  const int want[3][4] = {{15, 23, 35, 51}, {30, 46, 70, 102}, {45, 69, 105, 153}};
  const int divisor[3] = {20, 18, 14};
  for (int m = 1; m <= 3; m++) {
    reset_game();
    start(m, divisor[m - 1]);
    int pushes = 0;
    for (int lvl = 2; lvl <= 5; lvl++) {
      while (level < lvl) {
        next_push_up();
        pushes++;
      }
      EXPECT_EQ(pushes, want[m - 1][lvl - 2]) << "difficulty " << m << " level " << lvl;
    }
  }
}

TEST_F(rising, frames_per_row_for_levels_1_to_11_on_every_difficulty) {
  const int want[3][11] = {
      {180, 162, 144, 126, 108, 90, 72, 54, 36, 18, 351},
      {162, 144, 126, 108, 90, 72, 54, 36, 18, 315, 297},
      {126, 108, 90, 72, 54, 36, 18, 243, 225, 207, 189},
  };
  const int divisor[3] = {20, 18, 14};
  for (int m = 1; m <= 3; m++) {
    reset_game();
    start(m, divisor[m - 1]);
    for (int lvl = 1; lvl <= 11; lvl++) {
      while (level < lvl) next_push_up();
      // Two whole rows inside the level, away from the change of pace.
      next_push_up();
      const int a = next_push_up(), b = next_push_up();
      ASSERT_EQ(level, lvl);
      EXPECT_EQ(b - a, want[m - 1][lvl - 1]) << "difficulty " << m << " level " << lvl;
    }
  }
}

TEST_F(rising, the_limit_rule_sends_the_divisor_back_to_twice_spd_less_one) {
  start(2, 18);
  while (level < 10) next_push_up();
  EXPECT_EQ(spd_up, -17);
  EXPECT_EQ(spd - spd_up, 35);
  // Down by two a level again, to 1, and then back up once more.
  while (level < 27) next_push_up();
  EXPECT_EQ(spd - spd_up, 1);
  while (level < 28) next_push_up();
  EXPECT_EQ(spd - spd_up, 35);
}

TEST_F(rising, hard_from_the_settings_plays_normal_pace) {
  start(3, 18);  // spd stays 18 until the difficulty menu is used
  EXPECT_EQ(nxt_lvl, 45);
  EXPECT_EQ(next_push_up(), 144);
}

TEST_F(rising, a_level_up_shows_its_banner_during_the_update) {
  start(1, 20);
  nxt_lvl = 1;
  lift = 16;
  slept_ms = 0;
  loop_num = 20;
  game_update();
  EXPECT_EQ(level, 2);
  EXPECT_EQ(nxt_lvl, 8);
  EXPECT_EQ(spd_up, 2);
  EXPECT_GE(slept_ms, 1000);  // the banner's one-second hold
}

// In every column, from the first to the last.
TEST_F(rising, a_blast_carried_into_row_0_does_not_end_the_game_a_block_does) {
  for (int c = 0; c < COLS; c++) {
    start(2, 20);  // push-ups in frames 20 and 40, where nothing falls
    nxt_lvl = 10;
    cell(c, 1) = -3;
    lift = 16;
    loop_num = 20;
    game_update();
    EXPECT_EQ(cell(c, 0), -3);
    EXPECT_FALSE(game_over) << "column " << c;
    cell(c, 1) = c % 2 ? 9 : 2;  // a power-up counts like a block
    lift = 16;
    loop_num = 40;
    game_update();
    EXPECT_TRUE(game_over) << "column " << c;
  }
}

TEST_F(rising, the_top_test_runs_only_after_a_push_up) {
  start(2, 18);
  cell(2, 0) = 1;
  loop_num = 1;
  game_update();
  EXPECT_FALSE(game_over);
}

TEST_F(rising, blocks_fall_and_blasts_advance_only_every_third_frame) {
  start(2, 1000);
  std::memset(set_grid, 0, sizeof set_grid);
  cell(0, 5) = 2;
  cell(1, 11) = -2;
  for (int frame = 0; frame < 7; frame++) {
    loop_num = frame;
    game_update();
    const int falls = frame / 3 + 1;  // frames 0, 3, 6
    EXPECT_EQ(cell(0, 5 + falls), 2) << "frame " << frame;
  }
  EXPECT_EQ(cell(1, 11), 0);
}

TEST_F(rising, lift_grows_by_two_in_frames_that_are_multiples_of_the_divisor) {
  start(2, 18);
  lift = 0;
  game_update();  // frame 0
  EXPECT_EQ(lift, 2);
  for (loop_num = 1; loop_num < 18; loop_num++) game_update();
  EXPECT_EQ(lift, 2);
  game_update();  // frame 18
  EXPECT_EQ(lift, 4);
}

}  // namespace
