// The built game in a real window: what a player sees in the first seconds,
// and what the close button leaves behind on disk.
#include <gtest/gtest.h>

#include "game_driver.h"
#include "game_screens.h"
#include "session_test.h"
#include "xharness.h"

#include <X11/keysym.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

// $KV_DATA_DIR, when set, points the tests at another copy of the pictures.
std::string data_dir() {
  const char *env = std::getenv("KV_DATA_DIR");
  return env && *env ? env : KV_DATA_DIR;
}

const int window_timeout_ms = 5000;  // start-up loads every picture first
const int size_timeout_ms = 3000;
// The first picture, once the window is up, as a sign that the frames run;
// Wine sets up DirectX and its sound for a second or two first.
const int first_picture_ms = testing_windows_game() ? 5000 : 1500;

// Every game start gets its own X server and folder; teardown kills what is
// left, so a failed test cannot leak into the next.
class WindowStartup : public testing::Test {
 protected:
  void SetUp() override {
    binary = game_binary_path();
    ASSERT_FALSE(binary.empty()) << "no game binary configured";
    ASSERT_TRUE(start_xvfb(server)) << "no Xvfb on :90..:140";
  }

  void TearDown() override {
    if (HasFailure()) report_failure();
    kill_game(game);
  }

  // Lays out the folder (copy_images for a folder a test may spoil).
  bool prepare(bool copy_images = false) {
    return make_work_folder(folder, data_dir(), copy_images);
  }

  bool launch() { return start_game(game, binary, folder, server); }

  x_window wait_window() {
    x_window w = wait_for_game_window(server, window_timeout_ms);
    EXPECT_NE(w, 0u) << "no game window; stderr:\n" << read_game_stderr(folder);
    return w;
  }

  // The window is the game's, not the library's: its title, its name and
  // class (which tie it to the desktop entry) and its icon.
  void expect_the_games_window(x_window w) {
    EXPECT_EQ(get_window_name(server, w), "Krove Vestin");
    const window_class c = get_window_class(server, w);
    const char *const name = testing_windows_game() ? "krove-vestin.exe" : "krove-vestin";
    EXPECT_EQ(c.name, name);
    EXPECT_EQ(c.group, name);
    EXPECT_TRUE(window_has_icon(server, w));
  }

  // True once the window shows anything but black.
  bool shows_something(x_window w) {
    rgb_image image;
    if (!grab_window(server, w, image)) return false;
    const int all = image.width * image.height;
    return all > 0 && count_colour(image, 0, 0, image.width, image.height, rgb_colour{}) < all;
  }

  // The game's own words and a screenshot in the build folder.
  void report_failure() {
    if (folder.path.empty()) return;
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    rgb_image image;
    x_window w = find_game_window(server);
    if (w && grab_window(server, w, image)) write_png_image(failure_picture_path(name), image);
    std::cerr << "--- game stderr (" << name << ") ---\n" << read_game_stderr(folder);
  }

  std::string binary;
  xvfb_server server;
  work_folder folder;
  game_process game;
};

}  // namespace

TEST_F(WindowStartup, OpensSmallWithoutSettings) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  ASSERT_TRUE(launch()) << binary;
  x_window w = wait_window();
  ASSERT_NE(w, 0u);
  EXPECT_TRUE(wait_for_window_size(server, w, 320, 240, size_timeout_ms));
  expect_the_games_window(w);
}

TEST_F(WindowStartup, OpensLargeWhenSettingsSaySo) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  ASSERT_TRUE(write_work_file(folder, "KV settings.dat", "2 1 1 84 85 82 83 75 28"));
  ASSERT_TRUE(launch()) << binary;
  x_window w = wait_window();
  ASSERT_NE(w, 0u);
  // It may open small first: Allegro resizes the same window for the new mode.
  EXPECT_TRUE(wait_for_window_size(server, w, 640, 480, size_timeout_ms));
  window_size s = get_window_size(server, w);
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 480);
  expect_the_games_window(w);
}

TEST_F(WindowStartup, DrawsTheBackgroundSoon) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  ASSERT_TRUE(launch()) << binary;
  x_window w = wait_window();
  ASSERT_NE(w, 0u);
  EXPECT_TRUE(poll_until([&] { return shows_something(w); }, 1500, 20))
      << "window still all black";
}

TEST_F(WindowStartup, CloseButtonQuitsAndSavesDefaults) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  ASSERT_TRUE(launch()) << binary;
  x_window w = wait_window();
  ASSERT_NE(w, 0u);
  // Drawing means the frame loop runs, so the close callback is in place.
  ASSERT_TRUE(poll_until([&] { return shows_something(w); }, first_picture_ms, 20));
  if (server.wm_pid <= 0) {
    // No window manager to ask for full screen: F11 leaves the window as it is.
    ASSERT_TRUE(focus_window(server, w));
    ASSERT_TRUE(tap_key(server, XK_F11));
    pause_ms(300);
    EXPECT_EQ(get_window_size(server, w).width, 320);
    EXPECT_TRUE(game_running(game));
  }
  ASSERT_TRUE(send_close_message(server, w));
  exit_result r = wait_for_exit(game, 1000);
  ASSERT_TRUE(r.exited) << "still running 1 s after the close message";
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
  EXPECT_EQ(read_work_file(folder, "KV scores.dat"), "2000 2000 2000");
}

TEST_F(WindowStartup, MissingPictureStopsTheGameAndNamesIt) {
  ASSERT_TRUE(prepare(true)) << "pictures and fonts in " << data_dir();
  ASSERT_TRUE(remove_work_file(folder, "KV IMAGE/background.bmp"));
  ASSERT_TRUE(launch()) << binary;
  if (testing_windows_game()) {
    EXPECT_TRUE(poll_until([&] { return answer_message_box(server); }, window_timeout_ms, 20)) << "no message box";
  }
  exit_result r = wait_for_exit(game, window_timeout_ms);
  ASSERT_TRUE(r.exited) << "still running without its background picture";
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(read_game_stderr(folder).find("background.bmp"), std::string::npos)
      << "stderr:\n" << read_game_stderr(folder);
}

TEST_F(WindowStartup, HeldEscapeSkipsTheSplashAndQuits) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  ASSERT_TRUE(write_work_file(folder, "KV settings.dat", "2 0 1 84 85 82 83 75 28"));
  ASSERT_TRUE(launch()) << binary;
  x_window w = wait_window();
  ASSERT_NE(w, 0u);
  ASSERT_TRUE(poll_until([&] { return shows_something(w); }, first_picture_ms, 20));
  // Escape ends the splash at once and, held a second on the title, quits:
  // an exit well before the splash's own 5.6 s proves the keys arrive.
  ASSERT_TRUE(focus_window(server, w));
  ASSERT_TRUE(key_down(server, XK_Escape));
  exit_result r = wait_for_exit(game, 4000);
  key_up(server, XK_Escape);
  ASSERT_TRUE(r.exited) << "Escape did not reach the game";
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
}

// Where no window can be had, the game says so in one line and exits 1.
TEST_F(WindowStartup, WithoutADisplayItSaysSoInOneLineAndExitsOne) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  const std::string err = work_path(folder, "no-display.txt");
  for (const std::string &display : {std::string("DISPLAY"), ":" + std::to_string(server.number + 300)}) {
    const std::string env = display[0] == ':' ? "DISPLAY=" + display : display;
    ASSERT_TRUE(start_command(game, {binary}, folder.path, {env}, "", err));
    const exit_result r = wait_for_exit(game, window_timeout_ms);
    ASSERT_TRUE(r.exited) << display;
    EXPECT_EQ(r.signal, 0) << display;
    EXPECT_EQ(r.code, 1) << display;
    const std::string said = read_work_file(folder, "no-display.txt");
    EXPECT_EQ(said.rfind("krove-vestin: cannot start: ", 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
  }
}

// Logging out, closing the terminal, Ctrl+C: each quits as the close button
// does and saves, even when it comes twice.
TEST_F(WindowStartup, SignalsQuitLikeTheCloseButtonAndSave) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
    remove_work_file(folder, "KV settings.dat");
    remove_work_file(folder, "KV scores.dat");
    ASSERT_TRUE(launch()) << binary;
    x_window w = wait_window();
    ASSERT_NE(w, 0u);
    ASSERT_TRUE(poll_until([&] { return shows_something(w); }, first_picture_ms, 20));
    kill(game.pid, sig);
    kill(game.pid, sig);
    const exit_result r = wait_for_exit(game, 2000);
    ASSERT_TRUE(r.exited) << "still running after signal " << sig;
    EXPECT_EQ(r.signal, 0) << "signal " << sig;
    EXPECT_EQ(r.code, 0) << "signal " << sig;
    EXPECT_EQ(read_work_file(folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28") << sig;
    EXPECT_EQ(read_work_file(folder, "KV scores.dat"), "2000 2000 2000") << sig;
  }
}

// A file that cannot be written is named with the reason; the other is
// still saved, and the exit status says something was lost.
TEST_F(WindowStartup, AFailedSaveIsNamedAndTheExitStatusIsOne) {
  ASSERT_TRUE(prepare()) << "pictures and fonts in " << data_dir();
  std::filesystem::create_directories(work_path(folder, "KV settings.dat"));
  ASSERT_TRUE(launch()) << binary;
  x_window w = wait_window();
  ASSERT_NE(w, 0u);
  ASSERT_TRUE(poll_until([&] { return shows_something(w); }, first_picture_ms, 20));
  ASSERT_TRUE(send_close_message(server, w));
  if (testing_windows_game()) {
    EXPECT_TRUE(poll_until([&] { return answer_message_box(server); }, 2000, 20)) << "no message box";
  }
  const exit_result r = wait_for_exit(game, 2000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 1);
  const std::string reason = testing_windows_game() ? "Access denied" : "Is a directory";
  EXPECT_NE(read_game_stderr(folder).find("cannot save \"KV settings.dat\": " + reason), std::string::npos)
      << read_game_stderr(folder);
  EXPECT_EQ(read_work_file(folder, "KV scores.dat"), "2000 2000 2000");
}

// The splash's 280 frames of 20 ms, timed in the real window from its first
// picture to the title's: a timer of another period, or frames that do not
// wait, make it longer or shorter than 5.6 s by far more than a busy
// machine's 10 %.
class WindowPace : public session_test {};

TEST_F(WindowPace, TheSplashLastsFiveAndAHalfSeconds) {
  ASSERT_TRUE(launch_game(s));  // returns at the first picture
  const long long first = now_ms();
  ASSERT_TRUE(wait_for_picture(s, shows_title, 15000));
  EXPECT_NEAR(now_ms() - first, 5600, 560);
}
