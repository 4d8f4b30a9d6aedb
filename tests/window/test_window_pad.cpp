// The game played on pads in the real window: stand-in devices the game's
// joystick driver reads as it would /dev/input/js0 and js1, plugged in and
// pulled out while the game runs.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <sys/stat.h>

#include <string>

#include "game_driver.h"
#include "game_road.h"
#include "game_screens.h"
#include "game_steps.h"
#include "pad_feed.h"
#include "session_test.h"

namespace {

class WindowPad : public session_test {
 protected:
  // The cursor after one of the pad's axes was held at value for a second
  // and a little (53 frames: the key acts at once and then every 8 frames,
  // 7 times), from a field standing still far from its next push-up.
  cursor_place after_holding(test_pad &pad, int axis, int value) {
    field_view field;
    EXPECT_TRUE(read_still_field(s, field));
    send_axis(pad, axis, value);
    pause_ms(1060);
    send_axis(pad, axis, 0);
    pause_ms(100);
    cursor_place at;
    wait_for_picture(s, [&](const rgb_image &p) { return (at = find_cursor(p)).column >= 0; }, 2000);
    return at;
  }
};

}  // namespace

TEST_F(WindowPad, PlaysAGameAndPausesWhenPulledOut) {
  const std::string dir = s.folder.path + "/pads";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  s.env = standin_pad_env(dir);
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);

  // Plugged in after the start, the pad plays within two seconds: A ends
  // the splash, which lasts 5.6 s on its own.
  test_pad pad, other;
  ASSERT_TRUE(plug_pad(pad, dir, 0, xbox_pad));
  const long long plugged = now_ms();
  pad_keys on_pad(s, pad);
  s.io = &on_pad;
  ASSERT_TRUE(skip_to_title(s, XK_space)) << "A did not end the splash";
  EXPECT_LT(now_ms() - plugged, 2000);

  // A whole game: A chooses START and fires, the d-pad aims, Start pauses
  // and resumes, B gives up, the table comes and B leaves it.
  int normal = 0;
  ASSERT_NO_FATAL_FAILURE(play_one_game(s, normal));

  // Held, the d-pad and the stick past half its travel repeat as a held key.
  ASSERT_TRUE(start_play(s, XK_space));
  const struct {
    int axis, value, row;
    const char *what;
  } holds[] = {{7, 32767, 10, "the d-pad down"},
               {1, -20000, 3, "the stick up past half"},
               {1, 12000, 3, "the stick down short of half"},
               {1, 20000, 10, "the stick down past half"}};
  for (const auto &h : holds) {
    const cursor_place at = after_holding(pad, h.axis, h.value);
    EXPECT_EQ(at.column, 0) << h.what;
    EXPECT_EQ(at.row, h.row) << h.what;
  }

  // With two pads either plays. One pulled out pauses the game; the other
  // one's Start resumes it, and its stick aims (it has no d-pad).
  ASSERT_TRUE(plug_pad(other, dir, 1, stick_pad));
  pull_out_pad(pad);
  ASSERT_TRUE(wait_for_picture(s, shows_pause, 1000)) << "no pause when the pad was pulled out";
  pad_keys on_other(s, other);
  s.io = &on_other;
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 4000, 2000)) << "the other pad's Start did not resume";
  EXPECT_EQ(after_holding(other, 1, -32767).row, 3) << "the other pad's stick does not aim";

  // The last pad pulled out: the pause key resumes, Esc gives up, and the
  // table and both files are as after any game.
  pull_out_pad(other);
  ASSERT_TRUE(wait_for_picture(s, shows_pause, 1000)) << "no pause when the last pad was pulled out";
  s.io = nullptr;
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000)) << "the pause key did not resume";
  ASSERT_TRUE(give_up_play(s));
  ASSERT_TRUE(wait_for_picture(
      s, [&](const rgb_image &p) { return shows_score_table(p, 2000, normal, 2000); }, 5000));
  ASSERT_TRUE(send_close_message(s.server, s.window));
  const exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 " + std::to_string(normal) + " 2000");
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
}
