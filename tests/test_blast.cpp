// Group blasts, their countdown, and the score of a colour shot.
#include <allegro.h>
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/state.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "render/effects.h"
#include "support/test_env.h"

namespace {

class blasting : public ::testing::Test {
protected:
  void SetUp() override { reset_game(); }

  // Draws a field from text: one string per row, top first, one character a
  // column; '.' empty, digits are cell codes, 'a'..'d' are power-ups 7..10.
  static void set_rows(std::initializer_list<const char *> rows) {
    int r = ROWS - static_cast<int>(rows.size());
    for (const char *row : rows) {
      for (int c = 0; c < COLS; c++) {
        const char ch = row[c];
        cell(c, r) = ch == '.' ? 0 : ch >= 'a' ? ch - 'a' + 7 : ch - '0';
      }
      r++;
    }
  }
  static int count(int code) {
    int n = 0;
    for (int v : set_grid) n += v == code;
    return n;
  }
  static int shoot(int c, int r) {
    tx = c;
    ty = r;
    const int before = score;
    colour_shot(cell(c, r));
    return score - before;
  }
};

TEST_F(blasting, a_winding_snake_of_one_colour_blasts_whole) {
  set_rows({"1111111.",
            "2222221.",
            ".111111.",
            ".1222222",
            ".1111111"});
  EXPECT_EQ(shoot(7, 11), 10 * 22 * 22);
  EXPECT_EQ(bonus, 22);
  EXPECT_EQ(count(-2), 22);
  EXPECT_EQ(count(1), 0);
  EXPECT_EQ(count(2), 12);
}

TEST_F(blasting, a_ring_blasts_whole_around_what_it_encloses) {
  set_rows({"333333..",
            "3.4443..",
            "3.4.43..",
            "333333.."});
  shoot(2, 8);
  EXPECT_EQ(bonus, 16);
  EXPECT_EQ(count(4), 5);
}

TEST_F(blasting, blocks_touching_only_at_a_corner_are_separate_groups) {
  set_rows({"1.......",
            ".1......",
            "..1....."});
  EXPECT_EQ(shoot(1, 10), -10);
  EXPECT_EQ(bonus, 1);
  EXPECT_EQ(cell(0, 9), 1);
  EXPECT_EQ(cell(2, 11), 1);
}

TEST_F(blasting, power_ups_empty_cells_and_blasts_stop_a_group) {
  set_rows({"11a11...",
            "11.1....",
            "1.1....."});
  cell(1, 11) = -3;  // a blast cell between (0,11) and (2,11)
  shoot(0, 11);
  // (0,9), (1,9), (0,10), (1,10), (0,11); the power-up of colour 1, the
  // empty cell and the blast cell keep the rest apart.
  EXPECT_EQ(bonus, 5);
  EXPECT_EQ(cell(2, 9), 7);
  EXPECT_EQ(cell(3, 9), 1);
  EXPECT_EQ(cell(4, 9), 1);
  EXPECT_EQ(cell(3, 10), 1);
  EXPECT_EQ(cell(2, 11), 1);
  EXPECT_EQ(cell(1, 11), -3);
}

TEST_F(blasting, a_group_does_not_wrap_at_the_walls) {
  cell(7, 5) = 2;
  cell(0, 5) = 2;   // same row, other wall
  cell(0, 11) = 3;
  cell(1, 0) = 3;   // next to (0, 11) in memory, far apart on the field
  shoot(7, 5);
  EXPECT_EQ(bonus, 1);
  EXPECT_EQ(cell(0, 5), 2);
  cell(7, 5) = 0;  // every -2 on the field counts, so clear the first blast
  shoot(0, 11);
  EXPECT_EQ(bonus, 1);
  EXPECT_EQ(cell(1, 0), 3);
  cell(0, 11) = 0;
  cell(4, 1) = cell(4, 0) = cell(5, 0) = 1;  // up into the top row and along it
  shoot(4, 1);
  EXPECT_EQ(bonus, 3);
}

TEST_F(blasting, the_score_is_ten_times_the_square_of_the_group) {
  const int want[] = {0, -10, 40, 90, 160, 250, 360, 490, 640, 810, 1000};
  for (int n = 1; n <= 10; n++) {
    reset_game();
    for (int i = 0; i < n; i++) {
      if (i < 8)
        cell(i, 11) = 4;
      else
        cell(7, 11 - (i - 7)) = 4;
    }
    cell(0, 10) = 1;  // a neighbour of another colour stays out
    EXPECT_EQ(shoot(0, 11), want[n]) << "group of " << n;
    EXPECT_EQ(bonus, n);
    ASSERT_EQ(score_msg.size(), 1u);
    EXPECT_EQ(score_msg[0].value, want[n]);
    EXPECT_EQ(cell(0, 10), 1);
  }
}

TEST_F(blasting, the_score_text_starts_at_the_centre_of_the_cursor_cell) {
  cell(3, 6) = 2;
  lift = 8;
  shoot(3, 6);
  ASSERT_EQ(score_msg.size(), 1u);
  EXPECT_EQ(score_msg[0].x, 18 * 3 + 19);
  EXPECT_EQ(score_msg[0].y, 18 * 6 - 8 + 19);
  EXPECT_EQ(score_msg[0].life, 25);
}

TEST_F(blasting, score_goes_below_zero_and_n_power_keeps_the_largest_group) {
  cell(0, 11) = 1;
  shoot(0, 11);
  EXPECT_EQ(score, -10);
  set_rows({"222222.."});
  shoot(0, 11);
  EXPECT_EQ(n_power, 6);
  set_rows({"33......"});
  shoot(0, 11);
  EXPECT_EQ(n_power, 6);
  EXPECT_EQ(score, -10 + 360 + 40);
}

TEST_F(blasting, esc_held_during_the_shot_stops_after_the_first_pass) {
  set_rows({"11111111"});
  press_key(KEY_ESC);
  shoot(3, 11);
  // The pass spreads rightwards from column 3; column 2, marked behind it,
  // blasts without spreading; columns 0 and 1 stay.
  EXPECT_EQ(bonus, 6);
  EXPECT_EQ(cell(0, 11), 1);
  EXPECT_EQ(cell(1, 11), 1);
  EXPECT_EQ(cell(2, 11), -2);
  EXPECT_EQ(count(-1), 0);
  release_key(KEY_ESC);
  set_rows({"11111111"});
  shoot(3, 11);
  EXPECT_EQ(bonus, 8);
}

TEST_F(blasting, a_close_request_also_stops_the_spreading) {
  set_rows({"1.......",
            "11111111"});
  game_state = STATE_QUIT;
  shoot(5, 11);
  // Right of 5 is reached in the pass, (4,11) is marked behind it.
  EXPECT_EQ(bonus, 4);
  EXPECT_EQ(cell(0, 10), 1);
}

TEST_F(blasting, blast_cells_count_down_through_three_stages_and_clear) {
  cell(2, 4) = -2;
  cell(2, 5) = -4;
  cell(2, 6) = 3;
  clean_blast();
  EXPECT_EQ(cell(2, 4), -3);
  EXPECT_EQ(cell(2, 5), 0);
  EXPECT_EQ(cell(2, 6), 3);
  clean_blast();
  EXPECT_EQ(cell(2, 4), -4);
  clean_blast();
  EXPECT_EQ(cell(2, 4), 0);
}

// Runs game updates from frame f, with fire pressed in frame f on a lone
// pair, and returns the code of the shot cell after each frame's update.
std::vector<int> blast_timeline(int f) {
  reset_game();
  cell(4, 11) = 2;
  cell(5, 11) = 2;
  tx = 4;
  ty = 11;
  spd = 100;  // keep the field from rising during the test
  loop_num = f;
  std::vector<int> codes;
  for (int k = 0; k < 10; k++) {
    if (k == 0) press_key(KEY_SPACE);
    game_update();
    release_key(KEY_SPACE);
    codes.push_back(cell(4, 11));
    loop_num++;
  }
  return codes;
}

TEST_F(blasting, the_blast_timeline_depends_on_the_frame_of_the_shot) {
  // frame of the shot with loop_num mod 3 = 0: -2 is never drawn
  EXPECT_EQ(blast_timeline(30), (std::vector<int>{-3, -3, -3, -4, -4, -4, 0, 0, 0, 0}));
  EXPECT_EQ(blast_timeline(31), (std::vector<int>{-2, -2, -3, -3, -3, -4, -4, -4, 0, 0}));
  EXPECT_EQ(blast_timeline(32), (std::vector<int>{-2, -3, -3, -3, -4, -4, -4, 0, 0, 0}));
}

}  // namespace
