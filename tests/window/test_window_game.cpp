// One game in the real window, played with real key presses: shots that
// change the printed score, a pause and its resume, giving up with Esc,
// the high-score table, back to the title and out through the close button.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <string>

#include "game_driver.h"
#include "game_road.h"
#include "game_screens.h"
#include "game_steps.h"
#include "session_test.h"

namespace {

class WindowGame : public session_test {};

}  // namespace

TEST_F(WindowGame, ShootsPausesGivesUpAndShowsTheTable) {
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_TRUE(skip_to_title(s, XK_space));
  int normal = 0;
  ASSERT_NO_FATAL_FAILURE(play_one_game(s, normal));
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
  pause_while_away(
      s, [&] { return focus_elsewhere(s.server); },
      [&] { return focus_window(s.server, s.window); });
}
