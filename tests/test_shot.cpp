// The cursor, the shot and its recharge, and the power-ups.
#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/clock.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "render/effects.h"
#include "support/test_env.h"

namespace {

class shooting : public ::testing::Test {
protected:
  void SetUp() override {
    reset_game();
    spd = 1000;  // the field stays where it is
  }
  // One game update, then the frame counter, as a game frame does.
  static void frame() {
    game_update();
    loop_num++;
  }
  static int count(int code) {
    int n = 0;
    for (int v : set_grid) n += v == code;
    return n;
  }
  // Every cell a block of colours 1..4 in a pattern with no two alike side by side.
  static void fill_checker() {
    for (int c = 0; c < COLS; c++)
      for (int r = 0; r < ROWS; r++) cell(c, r) = (c + r) % 2 ? 2 : 3;
  }
};

TEST_F(shooting, the_edges_hold_the_cursor) {
  tx = 0;
  ty = 3;
  press_key(KEY_LEFT);
  press_key(KEY_UP);
  input_step();
  EXPECT_EQ(tx, 0);
  EXPECT_EQ(ty, 3);
  release_all_keys();
  tx = 7;
  ty = 11;
  press_key(KEY_RIGHT);
  press_key(KEY_DOWN);
  loop_num = 1;
  input_step();
  EXPECT_EQ(tx, 7);
  EXPECT_EQ(ty, 11);
}

TEST_F(shooting, the_cursor_moves_at_once_and_every_8_frames_while_held) {
  tx = 0;
  ty = 5;
  loop_num = 3;
  press_key(KEY_RIGHT);
  std::vector<int> moves;
  for (int k = 0; k < 20; k++) {
    const int before = tx;
    frame();
    if (tx != before) moves.push_back(k);
  }
  EXPECT_EQ(moves, (std::vector<int>{0, 8, 16}));
  // Up and down pressed together cancel out; left and down move diagonally.
  release_all_keys();
  frame();
  press_key(KEY_UP);
  press_key(KEY_DOWN);
  frame();
  EXPECT_EQ(ty, 5);
  release_all_keys();
  frame();
  press_key(KEY_LEFT);
  press_key(KEY_DOWN);
  const int x = tx;
  frame();
  EXPECT_EQ(tx, x - 1);
  EXPECT_EQ(ty, 6);
}

TEST_F(shooting, fire_on_an_empty_or_blast_cell_does_nothing_and_costs_nothing) {
  tx = 2;
  ty = 8;
  press_key(KEY_SPACE);
  for (int code : {0, -2, -3, -4}) {
    cell(2, 8) = code;
    input_step();
    EXPECT_EQ(recharge, 0);
    EXPECT_EQ(reload, 0);
    EXPECT_EQ(score, 0);
    EXPECT_FALSE(key_fire);
    EXPECT_EQ(cell(2, 8), code);
  }
}

TEST_F(shooting, a_colour_shot_needs_the_key_released_and_40_frames) {
  fill_checker();
  tx = 3;
  ty = 9;
  loop_num = 1;
  press_key(KEY_SPACE);
  frame();
  EXPECT_EQ(score, -10);
  EXPECT_EQ(recharge, 156);
  EXPECT_TRUE(key_fire);
  for (int k = 1; k < 60; k++) frame();  // held: no second shot
  EXPECT_EQ(score, -10);
  // Released and pressed again, long after the recharge: it shoots.
  fill_checker();
  release_key(KEY_SPACE);
  frame();
  EXPECT_FALSE(key_fire);
  press_key(KEY_SPACE);
  frame();
  EXPECT_EQ(score, -20);
}

TEST_F(shooting, the_next_shot_comes_no_earlier_than_40_frames_after_the_first) {
  fill_checker();
  tx = 1;
  ty = 10;
  loop_num = 1;
  int shots_at[2] = {-1, -1}, shots = 0;
  for (int k = 0; k < 60 && shots < 2; k++) {
    if (k % 2) release_key(KEY_SPACE); else press_key(KEY_SPACE);  // tapping
    fill_checker();
    const int before = score;
    frame();
    if (score != before) shots_at[shots++] = k;
  }
  EXPECT_EQ(shots_at[0], 0);
  EXPECT_EQ(shots_at[1], 40);
}

TEST_F(shooting, a_power_up_shot_fires_again_after_40_frames_while_held) {
  fill_checker();
  tx = 4;
  ty = 9;
  cell(4, 9) = 7;  // clears colour 1: no such block, the cell alone empties
  cell(4, 8) = 0;
  loop_num = 1;
  lift = 4;  // the sparks burst where the risen cell is drawn
  press_key(KEY_SPACE);
  frame();
  EXPECT_EQ(recharge, 156);
  EXPECT_FALSE(key_fire);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(spark.size(), 8u);
  EXPECT_EQ(spark[0].x, 18 * 4 + 19);
  EXPECT_EQ(spark[0].y, 18 * 9 - 4 + 19);
  cell(4, 9) = 1;  // a lone block has come under the cursor
  for (int k = 1; k < 40; k++) frame();
  EXPECT_EQ(score, 0);
  frame();  // frame 40 after the power-up shot
  EXPECT_EQ(score, -10);
  EXPECT_EQ(recharge, 156);
}

// In the bottom corners a 3x3 square; on the cursor's top row, rows 1 to 5.
TEST_F(shooting, an_area_power_up_at_the_edges_blasts_only_cells_of_the_field) {
  const struct { int c, r, cells; } at[] = {{0, 11, 9}, {7, 11, 9}, {7, 3, 15}};
  for (const auto &a : at) {
    fill_checker();
    tx = a.c;
    ty = a.r;
    cell(a.c, a.r) = 5;
    powerup_run(1);
    EXPECT_EQ(count(-2), a.cells) << a.c << "," << a.r;
    for (int c = std::max(a.c - 2, 0); c <= std::min(a.c + 2, 7); c++)
      for (int r = a.r - 2; r <= std::min(a.r + 2, 11); r++) EXPECT_EQ(cell(c, r), -2) << c << "," << r;
  }
}

TEST_F(shooting, an_area_power_up_inside_the_field_blasts_25_cells_whatever_they_hold) {
  fill_checker();
  cell(3, 4) = 0;   // empty
  cell(4, 6) = 6;   // another power-up: destroyed without effect
  cell(5, 7) = -4;  // a later blast stage starts again
  tx = 3;
  ty = 5;
  cell(3, 5) = 5;
  powerup_run(1);
  EXPECT_EQ(count(-2), 25);
  EXPECT_EQ(cell(4, 6), -2);
  EXPECT_EQ(cell(5, 7), -2);
  EXPECT_EQ(cell(0, 5), 2);  // outside the square
}

TEST_F(shooting, a_band_power_up_blasts_the_three_columns_around_it_within_the_walls) {
  fill_checker();
  for (int r = 0; r < 4; r++) cell(6, r) = 0;  // empty cells are blasted too
  cell(7, 2) = 8;                              // a power-up in the band is destroyed
  cell(6, 8) = -4;                             // a blast keeps its stage
  tx = 7;
  ty = 6;
  cell(7, 6) = 6;
  powerup_run(2);
  EXPECT_EQ(count(-2), 23);
  EXPECT_EQ(cell(6, 8), -4);
  EXPECT_EQ(cell(7, 2), -2);
  EXPECT_EQ(cell(5, 6), 2);
  // Next to the left wall: columns 0 to 2, all 36 cells, and nothing else.
  fill_checker();
  tx = 1;
  cell(1, 6) = 6;
  powerup_run(2);
  EXPECT_EQ(count(-2), 36);
  for (int r = 0; r < 12; r++) EXPECT_EQ(cell(3, r) < 0, false) << r;
}

TEST_F(shooting, a_colour_power_up_clears_its_colour_and_spares_power_ups) {
  fill_checker();
  cell(0, 0) = 1;
  cell(7, 11) = 1;
  cell(5, 5) = 7;  // another power-up of the same colour survives
  tx = 2;
  ty = 6;
  cell(2, 6) = 7;
  powerup_run(3);
  EXPECT_EQ(cell(2, 6), 0);
  EXPECT_EQ(cell(0, 0), -2);
  EXPECT_EQ(cell(7, 11), -2);
  EXPECT_EQ(cell(5, 5), 7);
  EXPECT_EQ(count(-2), 2);
  cell(2, 6) = 8;  // colour 2: the 48 of the checker
  powerup_run(4);
  EXPECT_EQ(count(2), 0);
  EXPECT_EQ(count(-2), 2 + 48);
}

TEST_F(shooting, a_colour_power_up_without_its_colour_clears_only_itself) {
  fill_checker();
  tx = 6;
  ty = 4;
  cell(6, 4) = 10;  // colour 4: none on the field
  powerup_run(6);
  EXPECT_EQ(cell(6, 4), 0);
  EXPECT_EQ(count(-2), 0);
}

TEST_F(shooting, a_power_up_shot_changes_neither_score_nor_group_counts) {
  fill_checker();
  n_power = 3;
  bonus = 2;
  tx = 3;
  ty = 5;
  cell(3, 5) = 5;
  press_key(KEY_SPACE);
  input_step();
  EXPECT_EQ(score, 0);
  EXPECT_EQ(bonus, 2);
  EXPECT_EQ(n_power, 3);
  ASSERT_EQ(spark.size(), 8u);
  EXPECT_EQ(spark[0].x, 73);
  EXPECT_EQ(spark[0].y, 109);
}

TEST_F(shooting, the_cursor_rides_up_with_a_push_up_but_not_past_row_3) {
  fill_field(true);
  tx = 2;
  ty = 5;
  lift = 16;
  nxt_lvl = 10;
  loop_num = 0;  // lift grows in this frame and the field is pushed up
  game_update();
  EXPECT_EQ(ty, 4);
  lift = 16;
  ty = 3;
  game_update();
  EXPECT_EQ(ty, 3);
}

}  // namespace
