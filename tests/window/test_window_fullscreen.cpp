// Full screen on a 1920x1080 monitor with a window manager: F11 and
// Alt+Enter switch and switch back, the picture is scaled by whole factors
// and centred on black, and --fullscreen starts there.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "game_driver.h"
#include "game_screens.h"
#include "game_steps.h"
#include "session_test.h"

namespace {

class WindowFullScreen : public session_test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(prepare_session(s, "1920x1080x24", true)) << "Xvfb, openbox or the art";
  }

  // The game's window at that size; Wine may make a new X window for it.
  bool window_becomes(int width, int height) {
    return poll_until(
        [&] {
          s.window = find_game_window(s.server);
          const window_size now = get_window_size(s.server, s.window);
          return s.window && now.width == width && now.height == height;
        },
        5000, 20);
  }

  // The whole monitor is the window: black but for the picture, which is
  // made of whole squares, 4 pixels a side at (320, 60). Within two
  // seconds: Wine paints what the frame left behind a moment after.
  void expect_filling_the_monitor() {
    ASSERT_TRUE(window_becomes(1920, 1080)) << "not full screen";
    screen_layout at{};
    int outside = -1, across = -1, torn = -1;
    poll_until(
        [&] {
          rgb_image raw;
          if (!grab_window(s.server, s.window, raw)) return false;
          at = layout_of(raw.width, raw.height);
          // Down, the X server may show a grab's rows from two frames where
          // it meets an update: a couple of torn rows of squares are allowed.
          count_unlike_squares(raw, at, outside, across, torn);
          return outside == 0 && across == 0 && torn <= 2;
        },
        2000, 50);
    EXPECT_EQ(at.factor, 4);
    EXPECT_EQ(at.x, 320);
    EXPECT_EQ(at.y, 60);
    EXPECT_EQ(outside, 0) << "pixels drawn around the picture";
    EXPECT_EQ(across, 0) << "squares not 4 pixels wide";
    EXPECT_LE(torn, 2) << "squares not 4 pixels high";
  }

  void switch_with(unsigned long keysym, bool alt) {
    if (alt) key_down(s.server, XK_Alt_L);
    tap_key(s.server, keysym);
    if (alt) key_up(s.server, XK_Alt_L);
  }
};

}  // namespace

TEST_F(WindowFullScreen, F11AndAltEnterSwitchBothWaysAndTheOptionStartsThere) {
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_TRUE(skip_to_title(s, XK_space));
  // Under Wine the game puts its window back (Windows' own calls say so), but
  // the X window stays where the library centred it: no drag there.
  if (!testing_windows_game()) {
    ASSERT_TRUE(drag_window(s.server, s.window, -300, 150)) << "moved by the player";
    ASSERT_TRUE(focus_window(s.server, s.window));
  }
  const window_place before = get_window_place(s.server, s.window);
  for (const bool alt : {false, true}) {
    switch_with(alt ? XK_Return : XK_F11, alt);
    ASSERT_NO_FATAL_FAILURE(expect_filling_the_monitor()) << (alt ? "Alt+Enter" : "F11");
    EXPECT_TRUE(wait_for_picture(s, shows_title, 2000)) << "the title, scaled";
    ASSERT_TRUE(focus_window(s.server, s.window));  // Wine's keyboard comes back a moment after
    switch_with(alt ? XK_Return : XK_F11, alt);
    EXPECT_TRUE(window_becomes(320, 240)) << "no window again";
    EXPECT_FALSE(window_in_state(s.server, s.window, "_NET_WM_STATE_FULLSCREEN"));
    // Under Wine with openbox, centred where it was, a title bar lower.
    const window_place after = get_window_place(s.server, s.window);
    EXPECT_EQ(after.x, before.x) << "not where it was";
    EXPECT_LE(after.y - before.y, testing_windows_game() ? 30 : 0) << "not where it was";
    EXPECT_GE(after.y, before.y) << "not where it was";
    ASSERT_TRUE(focus_window(s.server, s.window));
  }
  ASSERT_TRUE(send_close_message(s.server, s.window));
  exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28") << "full screen is not a setting";

  // Started full screen, the splash included; a close there saves as ever.
  ASSERT_TRUE(launch_game(s, {"--fullscreen"}));
  ASSERT_NO_FATAL_FAILURE(expect_filling_the_monitor());
  ASSERT_TRUE(send_close_message(s.server, s.window));
  r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0);
}
