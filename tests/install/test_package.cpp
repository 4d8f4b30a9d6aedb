// The game as players get it: the Debian package, passed through Debian's
// own checks, unpacked and played through its launcher; and a plain
// cmake --install into a prefix of the player's choosing. Either way the
// settings and scores must land in the player's own data folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>

#include "xharness.h"

namespace fs = std::filesystem;

namespace {

const char *const default_settings = "2 0 1 84 85 82 83 75 28";
const char *const default_scores = "2000 2000 2000";
// Names the desktop entry and the AppStream data (dist/CMakeLists.txt).
const std::string app_id = "invalid.krovevestin.KroveVestin";

std::string read_file(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path root;  // scratch folder for the whole suite

// Runs a command to its end; its output goes to a log, shown when it fails
// (or, with quiet_ok false, whenever it says anything on stderr).
bool run(const std::vector<std::string> &argv, int timeout_s, bool quiet_ok = false) {
  static int count = 0;
  const std::string out = (root / ("run" + std::to_string(++count) + ".out")).string();
  const std::string err = (root / ("run" + std::to_string(count) + ".err")).string();
  game_process p;
  if (!start_command(p, argv, root.string(), {}, out, err)) return false;
  const exit_result r = wait_for_exit(p, timeout_s * 1000);
  const bool ok = r.exited && r.code == 0 && (!quiet_ok || read_file(err).empty());
  if (!ok) std::cerr << argv[0] << " failed:\n" << read_file(out) << read_file(err);
  return ok;
}

// Built once: the package (tools/kv package into the build folder),
// unpacked; and the plain build installed into a prefix with a space.
class shipped_game : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "kv-package-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    root = pattern;
    package_ok = run({KV_SOURCE_DIR "/tools/kv", "package", KV_BUILD_DIR}, 1200) &&
                 run({"dpkg-deb", "-x", KV_DEB, (root / "unpacked").string()}, 60);
    install_ok = run({KV_CMAKE, "--install", KV_BUILD_DIR, "--prefix", (root / "some prefix").string()}, 120);
  }

  static void TearDownTestSuite() {
    std::error_code err;
    if (!root.empty()) fs::remove_all(root, err);
  }

  void SetUp() override {
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

  // The launcher from the PATH, run in an unrelated folder, until its
  // window draws; then the close message a desktop's close button sends.
  void play_and_close(const fs::path &bin_dir, const std::vector<std::string> &env) {
    ASSERT_TRUE(start_xvfb(server)) << "no Xvfb on :90..:140";
    std::vector<std::string> all = {"DISPLAY=" + server.name, "HOME=" + home.string(),
                                    "PATH=" + bin_dir.string() + ":/usr/bin:/bin"};
    all.insert(all.end(), env.begin(), env.end());
    ASSERT_TRUE(start_command(game, {"krove-vestin"}, elsewhere.string(), all, "", err_log().string()));
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
    EXPECT_FALSE(fs::exists(elsewhere / "KV settings.dat"));
  }

  // The pictures and fonts in the player's folder are links into data.
  void expect_links_into(const fs::path &folder, const fs::path &data) {
    for (const char *item : {"KV IMAGE", "krove_sfont.bmp", "krove_lfont.pcx"}) {
      ASSERT_TRUE(fs::is_symlink(folder / item)) << item;
      EXPECT_EQ(fs::read_symlink(folder / item), fs::canonical(data) / item);
    }
  }

  static bool package_ok, install_ok;
  fs::path home, elsewhere;
  xvfb_server server;
  game_process game;
};

bool shipped_game::package_ok = false;
bool shipped_game::install_ok = false;

}  // namespace

// Debian's games layout and nothing else; programs 0755, the rest 0644.
TEST_F(shipped_game, package_holds_the_game_in_debians_games_folders) {
  ASSERT_TRUE(package_ok);
  std::set<std::string> expected = {
      "usr/games/krove-vestin", "usr/lib/games/krove-vestin/krove-vestin",
      "usr/share/games/krove-vestin/krove_sfont.bmp", "usr/share/games/krove-vestin/krove_lfont.pcx",
      "usr/share/applications/" + app_id + ".desktop", "usr/share/metainfo/" + app_id + ".metainfo.xml",
      "usr/share/pixmaps/krove-vestin.xpm", "usr/share/man/man6/krove-vestin.6.gz",
      "usr/share/doc/krove-vestin/copyright", "usr/share/doc/krove-vestin/changelog.gz"};
  for (const char *size : {"16", "32", "48", "64", "128", "256"})
    expected.insert(std::string("usr/share/icons/hicolor/") + size + "x" + size + "/apps/krove-vestin.png");
  const fs::path unpacked = root / "unpacked";
  int pictures = 0;
  for (const fs::directory_entry &e : fs::recursive_directory_iterator(unpacked)) {
    if (e.is_directory()) continue;
    const std::string path = fs::relative(e.path(), unpacked).string();
    const bool picture = path.rfind("usr/share/games/krove-vestin/KV IMAGE/", 0) == 0;
    pictures += picture;
    EXPECT_TRUE(picture || expected.erase(path)) << "unexpected " << path;
    const bool program = path == "usr/games/krove-vestin" || path == "usr/lib/games/krove-vestin/krove-vestin";
    EXPECT_EQ(e.status().permissions(), program ? fs::perms(0755) : fs::perms(0644)) << path;
  }
  EXPECT_EQ(pictures, 17);
  for (const std::string &missing : expected) ADD_FAILURE() << "missing " << missing;
}

TEST_F(shipped_game, package_passes_debians_checks) {
  ASSERT_TRUE(package_ok);
  const fs::path share = root / "unpacked/usr/share";
  EXPECT_TRUE(run({"desktop-file-validate", (share / "applications" / (app_id + ".desktop")).string()}, 60, true));
  EXPECT_TRUE(run({"appstreamcli", "validate", "--no-net",
                   (share / "metainfo" / (app_id + ".metainfo.xml")).string()}, 60));
  EXPECT_TRUE(run({"sh", "-c", "MANWIDTH=80 man --warnings -l \"$0\" >/dev/null",
                   (share / "man/man6/krove-vestin.6.gz").string()}, 60, true));
  EXPECT_TRUE(run({"lintian", "--fail-on", "error,warning", KV_DEB}, 600));
}

TEST_F(shipped_game, unpacked_package_keeps_files_in_the_players_data_folder) {
  ASSERT_TRUE(package_ok);
  const fs::path data_home = root / "xdg data";
  play_and_close(root / "unpacked/usr/games", {"XDG_DATA_HOME=" + data_home.string()});
  EXPECT_EQ(read_file(data_home / "krove-vestin/KV settings.dat"), default_settings);
  EXPECT_EQ(read_file(data_home / "krove-vestin/KV scores.dat"), default_scores);
  EXPECT_FALSE(fs::exists(home / ".local/share/krove-vestin"));
  expect_links_into(data_home / "krove-vestin", root / "unpacked/usr/share/games/krove-vestin");
}

// Without XDG_DATA_HOME the folder is under the home; links left by an
// install that has moved since are made again, and the scores stay.
TEST_F(shipped_game, prefix_install_mends_old_links_and_keeps_the_scores) {
  ASSERT_TRUE(install_ok);
  const fs::path folder = home / ".local/share/krove-vestin";
  fs::create_directories(folder);
  fs::create_directory_symlink("/nonexistent/krove-vestin/KV IMAGE", folder / "KV IMAGE");
  std::ofstream(folder / "KV scores.dat") << "9000 8000 7000";
  play_and_close(root / "some prefix/bin", {"XDG_DATA_HOME"});
  EXPECT_EQ(read_file(folder / "KV scores.dat"), "9000 8000 7000");
  EXPECT_EQ(read_file(folder / "KV settings.dat"), default_settings);
  expect_links_into(folder, root / "some prefix/share/krove-vestin");
}
