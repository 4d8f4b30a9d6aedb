// The game as a player installs it: cmake --install into a scratch prefix,
// started through the launcher on the PATH from some unrelated folder. Its
// settings and scores must land in the player's own data folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "xharness.h"

namespace fs = std::filesystem;

namespace {

const char *const default_settings = "2 0 1 84 85 82 83 75 28";
const char *const default_scores = "2000 2000 2000";

std::string read_file(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Installed once for the whole suite, into a prefix no test expects to
// know: the launcher has to find everything relative to itself.
class installed_game : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "kv-install-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    root = pattern;
    prefix = root / "some prefix";  // a space, as in any user's folder names
    game_process install;
    const std::string log = (root / "install.log").string();
    if (!start_command(install, {KV_CMAKE, "--install", KV_BUILD_DIR, "--prefix", prefix.string()},
                       root.string(), {}, log, log))
      return;
    const exit_result r = wait_for_exit(install, 120000);
    install_ok = r.exited && r.code == 0;
    if (!install_ok) std::cerr << "cmake --install failed:\n" << read_file(log);
  }

  static void TearDownTestSuite() {
    std::error_code err;
    if (!root.empty()) fs::remove_all(root, err);
  }

  void SetUp() override {
    ASSERT_TRUE(install_ok) << "cmake --install " << KV_BUILD_DIR;
    ASSERT_TRUE(start_xvfb(server)) << "no Xvfb on :90..:140";
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    home = root / name / "home";
    elsewhere = root / name / "elsewhere";
    fs::create_directories(home);
    fs::create_directories(elsewhere);
  }

  void TearDown() override {
    if (HasFailure()) std::cerr << "--- launcher stderr ---\n" << read_file(err_log());
    kill_game(game);
  }

  fs::path err_log() const { return home.parent_path() / "stderr.txt"; }

  // The launcher from the PATH, run in an unrelated folder.
  bool launch(const std::vector<std::string> &env) {
    std::vector<std::string> all = {"DISPLAY=" + server.name, "HOME=" + home.string(),
                                    "PATH=" + (prefix / "bin").string() + ":/usr/bin:/bin"};
    all.insert(all.end(), env.begin(), env.end());
    return start_command(game, {"krove-vestin"}, elsewhere.string(), all, "", err_log().string());
  }

  // Waits for the window to draw, closes it as a desktop would, and
  // expects a clean exit.
  void play_and_close() {
    x_window w = wait_for_game_window(server, 5000);
    ASSERT_NE(w, 0u) << "no game window";
    // Drawing means the frame loop runs, so the close callback is in place.
    ASSERT_TRUE(poll_until(
        [&] {
          rgb_image image;
          if (!grab_window(server, w, image)) return false;
          const int all = image.width * image.height;
          return all > 0 && count_colour(image, 0, 0, image.width, image.height, rgb_colour{}) < all;
        },
        3000, 20))
        << "window still all black";
    ASSERT_TRUE(send_close_message(server, w));
    const exit_result r = wait_for_exit(game, 3000);
    ASSERT_TRUE(r.exited) << "still running after the close message";
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.code, 0);
  }

  void expect_saved_in(const fs::path &folder) {
    EXPECT_EQ(read_file(folder / "KV settings.dat"), default_settings) << folder;
    EXPECT_EQ(read_file(folder / "KV scores.dat"), default_scores) << folder;
    EXPECT_FALSE(fs::exists(elsewhere / "KV settings.dat"));
    EXPECT_FALSE(fs::exists(elsewhere / "KV scores.dat"));
  }

  static fs::path root, prefix;
  static bool install_ok;
  fs::path home, elsewhere;
  xvfb_server server;
  game_process game;
};

fs::path installed_game::root, installed_game::prefix;
bool installed_game::install_ok = false;

}  // namespace

TEST_F(installed_game, lays_out_the_usual_folders) {
  EXPECT_EQ(access((prefix / "bin/krove-vestin").c_str(), X_OK), 0);
  EXPECT_EQ(access((prefix / "libexec/krove-vestin/krove-vestin").c_str(), X_OK), 0);
  const fs::path share = prefix / "share";
  for (const char *item : {"krove-vestin/KV IMAGE/background.bmp", "krove-vestin/KV IMAGE/r_block.bmp",
                           "krove-vestin/krove_sfont.bmp", "krove-vestin/krove_lfont.pcx",
                           "icons/hicolor/48x48/apps/krove-vestin.png", "pixmaps/krove-vestin.xpm"})
    EXPECT_TRUE(fs::is_regular_file(share / item)) << item;
  const std::string entry = read_file(share / "applications/krove-vestin.desktop");
  EXPECT_NE(entry.find("[Desktop Entry]"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=krove-vestin\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=krove-vestin\n"), std::string::npos);
}

TEST_F(installed_game, keeps_settings_and_scores_in_the_players_data_folder) {
  const fs::path data_home = root / "keeps" / "xdg data";
  ASSERT_TRUE(launch({"XDG_DATA_HOME=" + data_home.string()}));
  play_and_close();
  expect_saved_in(data_home / "krove-vestin");
  EXPECT_FALSE(fs::exists(home / ".local/share/krove-vestin"));
  // The pictures and fonts there are links into the install.
  const fs::path share = fs::canonical(prefix / "share/krove-vestin");
  for (const char *item : {"KV IMAGE", "krove_sfont.bmp", "krove_lfont.pcx"}) {
    const fs::path link = data_home / "krove-vestin" / item;
    ASSERT_TRUE(fs::is_symlink(link)) << item;
    EXPECT_EQ(fs::read_symlink(link), share / item);
  }
}

TEST_F(installed_game, uses_the_home_folder_without_xdg_data_home) {
  ASSERT_TRUE(launch({"XDG_DATA_HOME"}));
  play_and_close();
  expect_saved_in(home / ".local/share/krove-vestin");
}

// A folder left by an install that has moved since: the links are made
// again, and the player's scores stay.
TEST_F(installed_game, mends_links_into_an_old_install_and_keeps_the_scores) {
  const fs::path folder = root / "mends" / "xdg" / "krove-vestin";
  fs::create_directories(folder);
  fs::create_directory_symlink("/nonexistent/krove-vestin/KV IMAGE", folder / "KV IMAGE");
  fs::create_symlink("/nonexistent/krove-vestin/krove_sfont.bmp", folder / "krove_sfont.bmp");
  std::ofstream(folder / "KV scores.dat") << "9000 8000 7000";
  ASSERT_TRUE(launch({"XDG_DATA_HOME=" + folder.parent_path().string()}));
  play_and_close();
  EXPECT_EQ(read_file(folder / "KV scores.dat"), "9000 8000 7000");
  EXPECT_EQ(read_file(folder / "KV settings.dat"), default_settings);
  EXPECT_EQ(fs::read_symlink(folder / "KV IMAGE"), fs::canonical(prefix / "share/krove-vestin/KV IMAGE"));
}
