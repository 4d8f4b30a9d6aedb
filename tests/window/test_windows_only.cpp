// What only Windows has, under Wine. The installer, as a player or an
// administrator would use it: a silent install, the game played from where
// it was installed, a silent uninstall that leaves the player's settings
// and scores. And the end of the session: logging off saves both files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "game_driver.h"
#include "session_test.h"
#include "xharness.h"

namespace fs = std::filesystem;

namespace {

class WindowsInstaller : public testing::Test {
 protected:
  void SetUp() override {
    const char *env = std::getenv("KV_WINDOWS_SETUP");
    if (!testing_windows_game() || !env || !*env) GTEST_SKIP() << "the Windows suite runs this";
    setup = env;
    prefix = std::getenv("WINEPREFIX");
    ASSERT_TRUE(start_xvfb(server));
    ASSERT_TRUE(make_work_folder(folder, game_data_dir()));
  }

  // A Windows program in the prefix, on the test's display; its exit status.
  int run_windows(const std::vector<std::string> &argv, int timeout_ms) {
    game_process program;
    std::vector<std::string> env = wine_environment();
    env.push_back("DISPLAY=" + server.name);
    if (!start_command(program, windows_command(argv[0], {argv.begin() + 1, argv.end()}), folder.path, env))
      return -1;
    const exit_result r = wait_for_exit(program, timeout_ms);
    return r.exited ? r.code : -1;
  }

  bool has_uninstall_entry() {
    return run_windows({"reg", "query", key}, 10000) == 0;
  }

  std::string setup, prefix;
  const std::string key = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KroveVestin";
  xvfb_server server;
  work_folder folder;
};

}  // namespace

TEST_F(WindowsInstaller, InstallsSilentlyPlaysAndUninstallsKeepingTheScores) {
  const fs::path installed = fs::path(prefix) / "drive_c/Program Files/Krove Vestin";
  const fs::path menu = fs::path(prefix) / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs";
  const fs::path shortcut = menu / "Krove Vestin.lnk", full_screen = menu / "Krove Vestin (full screen).lnk";
  std::error_code ignored;  // what a failed run may have left
  fs::remove_all(installed, ignored);
  fs::remove(shortcut, ignored);
  fs::remove(full_screen, ignored);
  ASSERT_EQ(run_windows({setup, "/S"}, 60000), 0) << "the silent install failed";
  for (const char *item : {"krove-vestin.exe", "uninstall.exe", "KV IMAGE/background.bmp", "krove_sfont.bmp",
                           "krove_lfont.pcx", "LICENSE", "README.txt"})
    EXPECT_TRUE(fs::exists(installed / item)) << item;
  EXPECT_TRUE(fs::exists(shortcut));
  EXPECT_TRUE(fs::exists(full_screen));
  EXPECT_TRUE(has_uninstall_entry());

  // Started from another folder, as the Start menu does: the pictures come
  // from the game's own folder, the files go to %APPDATA%.
  game_process game;
  std::vector<std::string> env = wine_environment();
  env.push_back("DISPLAY=" + server.name);
  ASSERT_TRUE(start_command(game, windows_command("C:\\Program Files\\Krove Vestin\\krove-vestin.exe", {}),
                            folder.path, env));
  const x_window w = wait_for_game_window(server, 10000);
  ASSERT_NE(w, 0u) << "the installed game showed no window";
  ASSERT_TRUE(poll_until(  // it draws: its pictures were found, its frames run
      [&] {
        rgb_image p;
        return grab_window(server, w, p) && count_colour(p, 0, 0, p.width, p.height, rgb_colour{}) < p.width * p.height;
      },
      5000, 20));
  ASSERT_TRUE(send_close_message(server, w));
  const exit_result r = wait_for_exit(game, 5000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");

  // The uninstaller copies itself away and returns at once: wait for its work.
  ASSERT_EQ(run_windows({(installed / "uninstall.exe").string(), "/S"}, 30000), 0);
  EXPECT_TRUE(poll_until([&] { return !fs::exists(installed); }, 20000, 100)) << "the program's folder stayed";
  EXPECT_FALSE(fs::exists(shortcut));
  EXPECT_FALSE(fs::exists(full_screen));
  EXPECT_FALSE(has_uninstall_entry());
  EXPECT_EQ(read_work_file(folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28") << "the settings went too";
  EXPECT_EQ(read_work_file(folder, "KV scores.dat"), "2000 2000 2000");
}

// Wine ends a session as Windows does, with WM_QUERYENDSESSION and
// WM_ENDSESSION to every window; after those a process may be ended at any
// moment, so the game must have saved by then.
class WindowsSession : public session_test {
 protected:
  void SetUp() override {
    if (!testing_windows_game()) GTEST_SKIP() << "the Windows suite runs this";
    session_test::SetUp();
  }
};

TEST_F(WindowsSession, LoggingOffSavesBothFiles) {
  ASSERT_TRUE(write_work_file(s.folder, "KV scores.dat", "1 2 3"));
  ASSERT_TRUE(launch_game(s));
  game_process end;
  std::vector<std::string> env = wine_environment();
  env.push_back("DISPLAY=" + s.server.name);
  ASSERT_TRUE(start_command(end, windows_command("wineboot", {"--end-session"}), s.folder.path, env));
  EXPECT_TRUE(wait_for_exit(end, 10000).exited);
  const exit_result r = wait_for_exit(s.game, 5000);
  ASSERT_TRUE(r.exited) << "still running after the session ended";
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "1 2 3");
}
