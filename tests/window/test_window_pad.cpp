// The game played on pads in the real window: stand-in devices
// (standin_pad.cpp) that the game reads as /dev/input/js0 and js1, plugged
// in and pulled out while it runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/joystick.h>
#include <sys/stat.h>
#include <unistd.h>

#include <X11/keysym.h>

#include <filesystem>
#include <string>

#include "game_driver.h"
#include "game_road.h"
#include "game_screens.h"
#include "game_steps.h"
#include "session_test.h"

namespace {

// A stand-in pad: which of its buttons are A, B and Start and which axes
// aim; plugged in, the test's end of its pipe.
struct test_pad {
  int number, a, b, start, x_axis, y_axis;
  std::string node = {};
  int fd = -1;
  ~test_pad() { pull_out(); }
  bool plug(const std::string &dir) {
    node = dir + "/js" + std::to_string(number);
    // Read and write: the game never sees the pipe's end while it is plugged in.
    fd = mkfifo(node.c_str(), 0600) == 0 ? open(node.c_str(), O_RDWR | O_NONBLOCK) : -1;
    return fd >= 0;
  }
  void pull_out() {
    if (fd >= 0) unlink(node.c_str()), close(fd);
    fd = -1;
  }
  bool send(unsigned char type, int which, int value) {
    const js_event e{0, static_cast<__s16>(value), type, static_cast<__u8>(which)};
    return write(fd, &e, sizeof e) == sizeof e;
  }
};

// The steps of game_steps.h played on a pad: space A, Escape B, 1 Start,
// the arrows its d-pad or stick; the picture is the window's.
struct on_pad : game_io {
  game_session &s;
  test_pad &pad;
  on_pad(game_session &session, test_pad &p) : s(session), pad(p) {}
  bool key_down(unsigned long keysym) override { return press(keysym, 1); }
  bool key_up(unsigned long keysym) override { return press(keysym, 0); }
  bool grab(rgb_image &image) override { return grab_window(s.server, s.window, image); }
  bool press(unsigned long keysym, int down) {
    const int button = keysym == XK_space ? pad.a : keysym == XK_Escape ? pad.b : keysym == XK_1 ? pad.start : -1;
    if (button >= 0) return pad.send(JS_EVENT_BUTTON, button, down);
    if (keysym < XK_Left || keysym > XK_Down) return false;
    const int axis = keysym == XK_Up || keysym == XK_Down ? pad.y_axis : pad.x_axis;
    return pad.send(JS_EVENT_AXIS, axis, (keysym == XK_Up || keysym == XK_Left ? -32767 : 32767) * down);
  }
};

class WindowPad : public session_test {
 protected:
  // The cursor's row after the pad's axis was held at value for a second
  // and a little (53 frames: the key acts at once, then every 8 frames).
  int row_after_holding(test_pad &pad, int axis, int value) {
    field_view field;
    EXPECT_TRUE(read_still_field(s, field, 4));  // far from a push-up
    pad.send(JS_EVENT_AXIS, axis, value);
    pause_ms(1060);
    pad.send(JS_EVENT_AXIS, axis, 0);
    pause_ms(100);
    EXPECT_TRUE(wait_for_picture(s, [&](const rgb_image &p) { return read_field(p, field); }, 2000));
    return field.cursor.row;
  }
};

}  // namespace

TEST_F(WindowPad, PlaysAGameAndPausesWhenPulledOut) {
  const std::string dir = s.folder.path + "/pads";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  s.env = {"LD_PRELOAD=" KV_STANDIN_PAD, "KV_STANDIN_PADS=" + dir};
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);

  // Plugged in after the start, the pad plays within two seconds: A ends
  // the splash, which lasts 5.6 s on its own.
  test_pad pad{0, 0, 1, 7, 6, 7}, other{1, 0, 1, 3, 0, 1};  // an Xbox pad (its d-pad a hat), a stick pad
  ASSERT_TRUE(pad.plug(dir));
  const long long plugged = now_ms();
  on_pad keys(s, pad), other_keys(s, other);
  s.io = &keys;
  ASSERT_TRUE(skip_to_title(s, XK_space)) << "A did not end the splash";
  EXPECT_LT(now_ms() - plugged, 2000);

  // A chooses START and fires, the d-pad aims, Start pauses and resumes,
  // B gives up, the table comes and B leaves it.
  int normal = 0;
  ASSERT_NO_FATAL_FAILURE(play_one_game(s, normal));

  // Held, the d-pad and the stick past half its travel repeat as a held key.
  ASSERT_TRUE(start_play(s, XK_space));
  EXPECT_EQ(row_after_holding(pad, 7, 32767), 10) << "the d-pad down";
  EXPECT_EQ(row_after_holding(pad, 1, -20000), 3) << "the stick up past half";
  EXPECT_EQ(row_after_holding(pad, 1, 12000), 3) << "the stick down short of half";
  EXPECT_EQ(row_after_holding(pad, 1, 20000), 10) << "the stick down past half";

  // Either of two pads plays (the second has no d-pad: its stick aims); one
  // pulled out, its d-pad held, pauses the game and lets go, and the
  // other's Start resumes it.
  ASSERT_TRUE(other.plug(dir));
  s.io = &other_keys;
  ASSERT_TRUE(tap_key_until(s, XK_Right, [](const rgb_image &p) { return find_cursor(p).column == 1; }, 4000))
      << "the second pad does not aim";
  pad.send(JS_EVENT_AXIS, 7, 32767);
  pad.pull_out();
  ASSERT_TRUE(wait_for_picture(s, shows_pause, 1000)) << "no pause when the pad was pulled out";
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 4000, 2000)) << "the other pad's Start did not resume";
  EXPECT_EQ(row_after_holding(other, 1, -32767), 3) << "the other pad's stick, the first pad's d-pad let go";

  // The last pad pulled out: none of the pads stays open, the pause key
  // resumes, and the game ends as any.
  other.pull_out();
  ASSERT_TRUE(wait_for_picture(s, shows_pause, 1000)) << "no pause when the last pad was pulled out";
  int still_open = 0;
  std::error_code gone;  // a descriptor closed while the list is read
  for (const auto &fd : std::filesystem::directory_iterator("/proc/" + std::to_string(s.game.pid) + "/fd"))
    still_open += std::filesystem::read_symlink(fd, gone).string().rfind(dir, 0) == 0;
  EXPECT_EQ(still_open, 0) << "a pulled-out pad's device is still open";
  s.io = nullptr;
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000)) << "the pause key did not resume";
  ASSERT_TRUE(give_up_play(s));
  ASSERT_TRUE(send_close_message(s.server, s.window));
  const exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 " + std::to_string(normal) + " 2000");
}
