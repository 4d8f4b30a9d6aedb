// One game in the real window, played with real key presses: shots that
// change the printed score, a pause and its resume, giving up with Esc,
// the high-score table, back to the title and out through the close button.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <string>

#include "game_driver.h"
#include "game_screens.h"
#include "game_steps.h"
#include "session_test.h"

namespace {

// The cell within the cursor's rows 3-11 with the biggest group, or with a
// lone block when want_lone and there is one; column -1 if no block at all.
cursor_place choose_target(const field_view &field, bool want_lone) {
  cursor_place best, lone;
  int best_size = 0;
  for (int c = 0; c < 8; ++c)
    for (int r = 3; r < 12; ++r) {
      field_view probe = field;
      probe.cursor.column = c;
      probe.cursor.row = r;
      const int size = count_cursor_group(probe);
      if (size == 1 && lone.column < 0) lone = probe.cursor;
      if (size > best_size) {
        best_size = size;
        best = probe.cursor;
      }
    }
  return want_lone && lone.column >= 0 ? lone : best;
}

class WindowGame : public session_test {
 protected:

  // Waits until a shot can be made and the field stands still (no block
  // falling, two reads alike) with the next push-up at least four rise
  // steps away, since a push-up moves the cursor and brings in a new row.
  bool read_still_field(field_view &field) {
    field_view last;
    bool have_last = false;
    return wait_for_picture(
        s,
        [&](const rgb_image &p) {
          if (!shows_live_game(p) || !shows_recharge_ready(p) || !read_field(p, field) ||
              field.cursor.lift > 8)
            return have_last = false;
          const bool still =
              have_last && field.cursor.lift == last.cursor.lift &&
              std::equal(&field.cells[0][0], &field.cells[0][0] + 8 * 12, &last.cells[0][0]);
          last = field;
          have_last = true;
          return still;
        },
        10000);
  }

  // Aims at the biggest group on screen (or a lone block, when want_lone and
  // there is one), fires, and checks the score moved by exactly what that
  // group is worth: 10 n^2 for n blocks, -10 for a lone one.
  void shoot_checked(bool want_lone, int &score, rgb_image *picture = nullptr) {
    const long long deadline = now_ms() + 20000;
    while (now_ms() < deadline) {
      field_view field;
      ASSERT_TRUE(read_still_field(field)) << "the field never stood still with the bar full";
      const cursor_place target = choose_target(field, want_lone);
      ASSERT_GE(target.column, 0) << "no block within the cursor's reach";
      ASSERT_TRUE(move_cursor_to(s, target.column, target.row))
          << "the cursor does not follow the arrow keys";
      ASSERT_TRUE(read_still_field(field));
      // A push-up on the way moved everything: choose again.
      if (field.cursor.column != target.column || field.cursor.row != target.row) continue;
      const int group = count_cursor_group(field);
      if (group == 0) continue;
      int after = 0;
      ASSERT_TRUE(shoot(score, after, picture)) << "fire on a block left the score at " << score;
      EXPECT_EQ(after - score, group < 2 ? -10 : 10 * group * group)
          << "a shot on a group of " << group;
      score = after;
      return;
    }
    FAIL() << "no shot within 20 s";
  }

  // Fires until the printed score moves away from before; false if it never does.
  bool shoot(int before, int &after, rgb_image *picture = nullptr) {
    return tap_key_until(
        s, XK_space, [&](const rgb_image &p) { return read_score(p, after) && after != before; },
        5000, 1200, picture);
  }

};

}  // namespace

TEST_F(WindowGame, ShootsPausesGivesUpAndShowsTheTable) {
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  rgb_image picture;
  ASSERT_TRUE(skip_to_title(s, XK_space, &picture));
  EXPECT_EQ(find_marked_entry(picture, 125, 3), 0) << "the title opens on START";
  save_screenshot(picture, "title");

  ASSERT_TRUE(start_play(s, XK_space)) << "no game, or its LEVEL 1 banner never ended";
  ASSERT_TRUE(wait_for_picture(s, shows_live_game, 2000, &picture));
  int score = 1;
  ASSERT_TRUE(read_score(picture, score));
  EXPECT_EQ(score, 0);
  const cursor_place start = find_cursor(picture);
  EXPECT_EQ(start.column, 0);
  EXPECT_EQ(start.row, 3);

  // Three shots, each checked against the colours on screen: the biggest
  // group, a lone block (when there is one), the biggest group again.
  shoot_checked(false, score);
  if (HasFatalFailure()) return;
  shoot_checked(true, score);
  if (HasFatalFailure()) return;
  shoot_checked(false, score, &picture);
  if (HasFatalFailure()) return;
  save_screenshot(picture, "game");  // the last shot's blast and score text

  ASSERT_TRUE(tap_key_until(s, XK_1, shows_pause, 6000, 2000, &picture))
      << "no pause band with its text";
  save_screenshot(picture, "pause");
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000, &picture))
      << "a second press of the pause key did not resume";
  int resumed = 0;
  ASSERT_TRUE(read_score(picture, resumed));
  EXPECT_EQ(resumed, score) << "the pause changed the score";

  ASSERT_TRUE(give_up_play(s)) << "Esc did not end the game with its banner";
  const int normal = std::max(2000, score);
  ASSERT_TRUE(wait_for_picture(
      s, [&](const rgb_image &p) { return shows_score_table(p, 2000, normal, 2000); }, 5000,
      &picture))
      << "no high-score table showing 2000 / " << normal << " / 2000";
  save_screenshot(picture, "scores");

  ASSERT_TRUE(tap_key_until(s, XK_Escape, shows_title, 5000, 2000))
      << "Esc did not lead to the title";
  ASSERT_TRUE(send_close_message(s.server, s.window));
  exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited) << "still running after the close message";
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 " + std::to_string(normal) + " 2000");
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
}

// A window that loses the focus pauses the game: the player is away, the
// well stands still. Back, the pause key resumes it as usual. A focus lost
// outside a game (here on the title) pauses nothing.
TEST_F(WindowGame, LosingTheFocusPausesTheGameAndNothingElse) {
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_TRUE(skip_to_title(s, XK_space));
  ASSERT_TRUE(focus_elsewhere(s.server));
  pause_ms(200);
  ASSERT_TRUE(focus_window(s.server, s.window));
  ASSERT_TRUE(start_play(s, XK_space));
  EXPECT_FALSE(wait_for_picture(s, shows_pause, 500)) << "the title's focus loss paused the game";

  ASSERT_TRUE(focus_elsewhere(s.server));
  rgb_image before, after;
  ASSERT_TRUE(wait_for_picture(s, shows_pause, 1000, &before)) << "no pause on losing the focus";
  pause_ms(1000);
  ASSERT_TRUE(grab_picture(s, after));
  EXPECT_TRUE(before.rgb == after.rgb) << "the game moved while paused";
  ASSERT_TRUE(focus_window(s.server, s.window));
  EXPECT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000)) << "the pause key did not resume";
}
