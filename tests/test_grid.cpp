// The well: fill, gravity and the push-up of a new bottom row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "field/grid.h"
#include "support/test_env.h"

namespace {

class grid : public ::testing::Test {
protected:
  void SetUp() override { reset_game(); }

  // Sets column c from row 0 down to the values given.
  static void set_column(int c, std::initializer_list<int> top_down) {
    int r = 0;
    for (int v : top_down) cell(c, r++) = v;
  }
  static std::vector<int> column(int c) {
    std::vector<int> v;
    for (int r = 0; r < ROWS; r++) v.push_back(cell(c, r));
    return v;
  }
};

TEST_F(grid, cells_are_stored_column_by_column) {
  cell(2, 5) = 3;
  EXPECT_EQ(set_grid[2 * 12 + 5], 3);
  cell(7, 11) = 4;
  EXPECT_EQ(set_grid[95], 4);
}

TEST_F(grid, gravity_moves_everything_above_a_gap_down_one_row_per_call) {
  // A, gap, B, gap, then full to the bottom.
  set_column(0, {1, 0, 2, 0, 3, 3, 3, 3, 3, 3, 3, 3});
  drop();
  EXPECT_EQ(column(0), (std::vector<int>{0, 1, 0, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
  drop();
  EXPECT_EQ(column(0), (std::vector<int>{0, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
  drop();  // settled: nothing moves
  EXPECT_EQ(column(0), (std::vector<int>{0, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
}

TEST_F(grid, a_lone_block_falls_one_row_per_call) {
  const int columns[] = {0, 4, 7};  // the walls too
  for (int c : columns) cell(c, 5) = 2;
  for (int call = 1; call <= 6; call++) {
    drop();
    for (int c : columns) {
      EXPECT_EQ(cell(c, 5 + call), 2) << "column " << c << " after call " << call;
      EXPECT_EQ(cell(c, 5 + call - 1), 0);
    }
  }
  drop();
  for (int c : columns) EXPECT_EQ(cell(c, 11), 2);
}

TEST_F(grid, a_stack_on_a_gap_falls_whole) {
  set_column(3, {0, 0, 0, 0, 1, 2, 3, 4, 0, 1, 1, 1});
  drop();
  EXPECT_EQ(column(3), (std::vector<int>{0, 0, 0, 0, 0, 1, 2, 3, 4, 1, 1, 1}));
}

TEST_F(grid, blast_cells_hold_blocks_up_and_fall_themselves) {
  set_column(1, {0, 0, 0, 0, 0, 0, 0, 0, 2, -3, 0, 1});
  drop();
  // The blast cell falls into the gap below it, the block rides down on it.
  EXPECT_EQ(column(1), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 2, -3, 1}));
  drop();
  EXPECT_EQ(column(1), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 2, -3, 1}));
  cell(1, 10) = 0;  // the blast has cleared
  drop();
  EXPECT_EQ(cell(1, 10), 2);
}

TEST_F(grid, power_ups_fall_like_blocks_and_row_0_only_gives_up_its_content) {
  set_column(6, {7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  drop();
  EXPECT_EQ(cell(6, 0), 0);
  EXPECT_EQ(cell(6, 1), 7);
}

TEST_F(grid, a_new_game_field_has_empty_top_rows_and_colours_below) {
  for (int &v : set_grid) v = 9;
  fill_field(true);
  for (int c = 0; c < COLS; c++)
    for (int r = 0; r < ROWS; r++) {
      if (r < 7)
        EXPECT_EQ(cell(c, r), 0);
      else {
        EXPECT_GE(cell(c, r), 1);
        EXPECT_LE(cell(c, r), 4);
      }
    }
}

TEST_F(grid, the_fill_draws_column_0s_five_colours_first) {
  std::srand(42);
  std::vector<int> draws;
  for (int i = 0; i < 40; i++) draws.push_back(std::rand() % 4 + 1);
  std::srand(42);
  fill_field(true);
  int i = 0;
  for (int c = 0; c < COLS; c++)
    for (int r = 7; r < ROWS; r++) EXPECT_EQ(cell(c, r), draws[i++]) << c << "," << r;
}

TEST_F(grid, the_start_up_fill_leaves_the_top_rows_alone) {
  cell(0, 0) = 3;
  cell(5, 6) = 1;
  fill_field(false);
  EXPECT_EQ(cell(0, 0), 3);
  EXPECT_EQ(cell(5, 6), 1);
  EXPECT_GE(cell(5, 7), 1);
}

TEST_F(grid, push_up_moves_every_cell_up_and_discards_row_0) {
  for (int c = 0; c < COLS; c++) {
    cell(c, 0) = 4;      // discarded whatever it holds
    cell(c, 1) = -3;     // blasts move too
    cell(c, 6) = c % 2 ? 5 : 2;
    cell(c, 11) = c % 4 + 1;  // the bottom row moves up too
  }
  slide_up();
  for (int c = 0; c < COLS; c++) {
    EXPECT_EQ(cell(c, 0), -3);
    EXPECT_EQ(cell(c, 5), c % 2 ? 5 : 2);
    EXPECT_EQ(cell(c, 6), 0);
    EXPECT_EQ(cell(c, 10), c % 4 + 1);
    EXPECT_GE(cell(c, 11), 1);
    EXPECT_LE(cell(c, 11), 4);
  }
}

TEST_F(grid, push_up_brings_exactly_one_power_up_after_a_group_of_six) {
  for (unsigned seed = 1; seed <= 50; seed++) {
    std::srand(seed);
    n_power = 6;
    slide_up();
    int powers = 0;
    for (int c = 0; c < COLS; c++) {
      const int v = cell(c, 11);
      if (v >= 5) {
        EXPECT_LE(v, 10);
        powers++;
      } else {
        EXPECT_GE(v, 1);
      }
    }
    EXPECT_EQ(powers, 1) << "seed " << seed;
    EXPECT_EQ(n_power, 0);
  }
}

TEST_F(grid, push_up_places_the_power_up_from_two_draws_after_the_colours) {
  std::srand(9);
  for (int c = 0; c < COLS; c++) (void)std::rand();
  const int k = std::rand() % 8;
  const int code = std::rand() % 6 + 5;
  std::srand(9);
  n_power = 10;
  slide_up();
  EXPECT_EQ(cell(k, 11), code);
}

TEST_F(grid, push_up_without_a_big_group_brings_no_power_up) {
  n_power = 5;
  for (unsigned seed = 1; seed <= 20; seed++) {
    std::srand(seed);
    slide_up();
    for (int c = 0; c < COLS; c++) EXPECT_LE(cell(c, 11), 4);
  }
  EXPECT_EQ(n_power, 5);
}

TEST_F(grid, push_up_moves_the_cursor_row_up_even_at_its_top_row) {
  ty = 5;
  slide_up();
  EXPECT_EQ(ty, 4);
  ty = 3;
  slide_up();
  EXPECT_EQ(ty, 2);  // the game frame clamps it back afterwards
}

}  // namespace
