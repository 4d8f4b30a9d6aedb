#include "game_road.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <string>

#include "game_screens.h"
#include "game_steps.h"

void play_one_game(game_session &s, int &normal) {
  rgb_image picture;
  ASSERT_TRUE(wait_for_picture(s, shows_title, 8000, &picture)) << "no title";
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

  // The biggest group, a lone block (when there is one), the biggest again.
  std::string why;
  for (const bool lone : {false, true, false})
    ASSERT_TRUE(shoot_checked(s, lone, score, why, &picture)) << why;
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
  normal = std::max(2000, score);
  ASSERT_TRUE(wait_for_picture(
      s, [&](const rgb_image &p) { return shows_score_table(p, 2000, normal, 2000); }, 5000,
      &picture))
      << "no high-score table showing 2000 / " << normal << " / 2000";
  save_screenshot(picture, "scores");
  ASSERT_TRUE(tap_key_until(s, XK_Escape, shows_title, 5000, 2000))
      << "Esc did not lead to the title";
}

void pause_while_away(game_session &s, const std::function<bool()> &lose_focus,
                      const std::function<bool()> &regain_focus) {
  ASSERT_TRUE(lose_focus());
  rgb_image before, after;
  ASSERT_TRUE(wait_for_picture(s, shows_pause, 1000, &before)) << "no pause on losing the focus";
  pause_ms(1000);
  ASSERT_TRUE(grab_picture(s, after));
  EXPECT_TRUE(before.rgb == after.rgb) << "the game moved while paused";
  ASSERT_TRUE(regain_focus());
  EXPECT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000))
      << "the pause key did not resume";
}
