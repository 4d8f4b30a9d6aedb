// The two data files: exact formats, the reading rule, unsafe values and safe saving.
#include <allegro.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "app/last_save.h"
#include "app/startup.h"
#include "core/state.h"
#include "display/screen.h"
#include "field/blast.h"
#include "field/rise.h"
#include "input/keys.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "store/save_file.h"
#include "store/scores.h"
#include "store/settings.h"
#include "support/test_env.h"

namespace {

class data_files : public ::testing::Test {
protected:
  void SetUp() override { reset_game(); }
  temp_folder folder;

  static std::string settings_now() {
    char text[200];
    std::snprintf(text, sizeof text, "%d %d %d %d %d %d %d %d %d", mode, scrn_size, sound, b_u, b_d,
                  b_l, b_r, b_f, b_p);
    return text;
  }
  void load_settings_from(const std::string &text) {
    write_text(folder.file("KV settings.dat"), text);
    load_settings();
  }
  void load_scores_from(const std::string &text) {
    write_text(folder.file("KV scores.dat"), text);
    load_highscores();
  }
};

TEST_F(data_files, the_built_in_values_save_as_exactly_23_and_14_bytes) {
  const mode_t usual = umask(027);
  save_settings();
  save_highscores();
  umask(usual);
  struct stat st {};
  stat(folder.file("KV scores.dat").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // a new file as a plain write under that umask makes it
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "2 0 1 84 85 82 83 75 28");
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 2000 2000");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 2);
}

TEST_F(data_files, settings_and_scores_survive_a_round_trip) {
  mode = 3, scrn_size = 1, sound = 0;
  b_u = 17, b_d = 31, b_l = 30, b_r = 32, b_f = 0, b_p = 126;
  highscore_e = -40, highscore_n = 123456, highscore_h = 0;
  save_settings();
  save_highscores();
  const std::string saved = settings_now();
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), saved);
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "-40 123456 0");
  reset_game();
  load_settings();
  load_highscores();
  EXPECT_EQ(settings_now(), saved);
  EXPECT_EQ(highscore_e, -40);
  EXPECT_EQ(highscore_n, 123456);
  EXPECT_EQ(highscore_h, 0);
  EXPECT_EQ(spd, 18);  // the divisor is not in the file
}

TEST_F(data_files, missing_files_leave_the_built_in_values) {
  load_settings();
  load_highscores();
  EXPECT_EQ(settings_now(), "2 0 1 84 85 82 83 75 28");
  EXPECT_EQ(highscore_e + highscore_n + highscore_h, 6000);
}

TEST_F(data_files, partial_files_set_what_they_hold) {
  load_settings_from("1 1 1");
  EXPECT_EQ(settings_now(), "1 1 1 84 85 82 83 75 28");
  load_scores_from("5000");
  EXPECT_EQ(highscore_e, 5000);
  EXPECT_EQ(highscore_n, 2000);
  EXPECT_EQ(highscore_h, 2000);
}

TEST_F(data_files, numbers_may_be_hex_octal_or_negative) {
  load_settings_from("0x3 0 -7 0x20 010 +30 31 0X39 28\n");
  EXPECT_EQ(settings_now(), "3 0 -7 32 8 30 31 57 28");
  load_scores_from("-15 0x10 017");
  EXPECT_EQ(highscore_e, -15);
  EXPECT_EQ(highscore_n, 16);
  EXPECT_EQ(highscore_h, 15);
}

TEST_F(data_files, reading_stops_at_the_first_thing_that_is_not_a_number) {
  load_settings_from("garbage 1 1");
  EXPECT_EQ(settings_now(), "2 0 1 84 85 82 83 75 28");
  load_settings_from("3 1 x 5 5 5 5 5 5");
  EXPECT_EQ(settings_now(), "3 1 1 84 85 82 83 75 28");
  load_settings_from("1 0 0 17 zz");
  EXPECT_EQ(settings_now(), "1 0 0 17 85 82 83 75 28");
  load_scores_from("10 ?? 30");
  EXPECT_EQ(highscore_e, 10);
  EXPECT_EQ(highscore_n, 2000);
  EXPECT_EQ(highscore_h, 2000);
  load_scores_from("");
  EXPECT_EQ(highscore_e, 10);
}

TEST_F(data_files, values_that_would_break_the_game_keep_the_old_setting) {
  load_settings_from("4 2 5 127 -1 1000 30 59 0");
  // mode 4 and size 2 refused; sound is free; keys 127, -1 and 1000 lie
  // outside the key table; 30, 59 and 0 are in it.
  EXPECT_EQ(settings_now(), "2 0 5 84 85 82 30 59 0");
  load_settings_from("0 -1 1 2147483647 -2147483648 82 83 75 28");
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(scrn_size, 0);
  EXPECT_EQ(b_u, 84);
  EXPECT_EQ(b_d, 85);
  load_settings_from("3 1 1");
  EXPECT_EQ(mode, 3);
  EXPECT_EQ(scrn_size, 1);
}

// Saving never fails in silence: the file and the system's reason are
// named, the other file is still saved, and the quit reports the failure.
TEST_F(data_files, a_save_that_fails_names_the_file_and_the_other_is_still_saved) {
  std::filesystem::create_directory(folder.file("KV settings.dat"));
  highscore_h = 7000;
  menu m;
  testing::internal::CaptureStderr();
  quit_sequence(m);
  const std::string said = testing::internal::GetCapturedStderr();
  reload_resources();
  EXPECT_EQ(exit_status(), 1);
  EXPECT_EQ(said, "krove-vestin: cannot save \"KV settings.dat\": Is a directory\n");
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 2000 7000");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 2);
}

// The display may go away in the middle of any frame: the files are written
// once, with a finished game under its banner counted and a game in play
// not, and never before start-up has read the player's own files.
TEST_F(data_files, an_end_from_outside_saves_once_counting_only_a_finished_game) {
  const struct {
    bool over;
    int state;
    const char *scores;
  } cases[] = {{true, STATE_GAME, "2000 5000 2000"},
               {false, STATE_GAME, "2000 2000 2000"},
               {true, STATE_TITLE, "2000 2000 2000"}};  // counted already, if at all
  for (const auto &c : cases) {
    reset_game();
    std::filesystem::remove(folder.file("KV scores.dat"));  // its better best would be kept
    game_over = c.over, game_state = c.state, score = 5000;
    EXPECT_TRUE(save_before_the_end());
    EXPECT_EQ(read_text(folder.file("KV scores.dat")), c.scores) << c.over << " " << c.state;
    highscore_e = 1;
    EXPECT_TRUE(save_both_files());  // the quit sequence coming second writes nothing
    EXPECT_EQ(read_text(folder.file("KV scores.dat")), c.scores);
  }
  std::filesystem::remove(folder.file("KV scores.dat"));
  save_stage = SAVE_NOTHING_LOADED;
  EXPECT_FALSE(save_before_the_end());
  EXPECT_FALSE(std::filesystem::exists(folder.file("KV scores.dat")));
}

// A page hidden in the browser saves and the game goes on: every hiding
// writes what the game holds then, until the quit sequence has saved.
TEST_F(data_files, a_hidden_page_saves_each_time_until_the_quit_has_saved) {
  save_stage = SAVE_NOTHING_LOADED;
  EXPECT_FALSE(save_meanwhile());
  EXPECT_FALSE(std::filesystem::exists(folder.file("KV scores.dat")));
  save_stage = SAVE_NOT_BEGUN;
  game_state = STATE_GAME, score = 5000;
  EXPECT_TRUE(save_meanwhile());  // in play: not counted
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 2000 2000");
  game_over = true;
  for (int elsewhere : {STATE_TITLE, STATE_GAME_OVER}) {  // counted there already, if at all
    game_state = elsewhere;
    EXPECT_TRUE(save_meanwhile());
    EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 2000 2000") << elsewhere;
  }
  game_state = STATE_GAME, scrn_size = 1;
  EXPECT_TRUE(save_meanwhile());  // under its banner: counted, and the new size kept
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 5000 2000");
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "2 1 1 84 85 82 83 75 28");
  std::filesystem::remove(folder.file("KV settings.dat"));
  std::filesystem::create_directory(folder.file("KV settings.dat"));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(save_meanwhile()) << "a failed save reported as done";
  testing::internal::GetCapturedStderr();
  std::filesystem::remove(folder.file("KV settings.dat"));
  EXPECT_TRUE(save_both_files());
  highscore_e = 9000;
  EXPECT_FALSE(save_meanwhile());
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 5000 2000");
}

// A link is written through, so its target gets the new contents; a saved
// file keeps the permission bits it had.
TEST_F(data_files, a_save_writes_through_a_link_and_keeps_the_permission_bits) {
  std::filesystem::create_directory(folder.file("real"));
  write_text(folder.file("real/scores"), "1 1 1");
  std::filesystem::create_symlink("real/scores", folder.file("KV scores.dat"));
  write_text(folder.file("KV settings.dat"), "1 1 1");
  chmod(folder.file("KV settings.dat").c_str(), 0640);
  load_settings();
  mode = 2, scrn_size = 0;
  EXPECT_TRUE(save_highscores());
  EXPECT_TRUE(save_settings());
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("KV scores.dat")));
  EXPECT_EQ(read_text(folder.file("real/scores")), "2000 2000 2000");
  struct stat st {};
  stat(folder.file("KV settings.dat").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "2 0 1 84 85 82 83 75 28");
}

// Two copies of the game in one folder: the one that quits last must not
// write its older table over a best score the other one saved.
TEST_F(data_files, a_better_best_score_already_in_the_file_is_kept) {
  highscore_e = 3000, highscore_n = 2500, highscore_h = 100;
  write_text(folder.file("KV scores.dat"), "2999 9000 -5");
  EXPECT_TRUE(save_highscores());
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "3000 9000 100");
  write_text(folder.file("KV scores.dat"), "0x2000 junk");
  EXPECT_TRUE(save_highscores());
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "8192 9000 100");
}

// Two copies of the game in one folder: a save writes what this copy
// changed since it last read or wrote the file, and leaves the rest as the
// other copy saved it; a file that cannot be read holds nothing.
TEST_F(data_files, a_save_writes_only_what_this_copy_changed_over_what_another_saved) {
  const std::string file = folder.file("KV settings.dat");
  write_text(file, "2 0 1 84 85 82 83 75 28");
  load_settings();
  const struct {
    const char *theirs;  // the file as the other copy left it; nullptr: no file
    int *mine, value;    // what this copy changes first, if anything
    const char *saved;
  } saves[] = {
      {"3 1 1 84 85 82 83 10 28", nullptr, 0, "3 1 1 84 85 82 83 10 28"},  // sat on its title
      {"3 1 1 84 85 82 83 10 28", &b_p, 25, "3 1 1 84 85 82 83 10 25"},
      {"1 1 0 84 85 82 83 10 28", nullptr, 0, "1 1 0 84 85 82 83 10 28"},  // P saved once is not mine now
      {"3 1 1 84 85 82 83 10 28 junk", &mode, 3, "3 1 1 84 85 82 83 10 28"},
      {"1 0 7", &b_u, 17, "1 0 7 17 85 82 83 75 25"},  // the rest as this copy holds it
      {"9 5 1 200 85 82 83 75 25", nullptr, 0, "3 0 1 17 85 82 83 75 25"},  // unusable: mine
      {"garbage", nullptr, 0, "3 0 1 17 85 82 83 75 25"},
      {nullptr, nullptr, 0, "3 0 1 17 85 82 83 75 25"},
  };
  for (const auto &k : saves) {
    std::filesystem::remove(file);
    if (k.theirs) write_text(file, k.theirs);
    if (k.mine) *k.mine = k.value;
    EXPECT_TRUE(save_settings());
    EXPECT_EQ(read_text(file), k.saved) << (k.theirs ? k.theirs : "no file");
  }
  // A change that could not be saved is still this copy's at the next save.
  sound = 0;
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(save_settings());
  testing::internal::GetCapturedStderr();
  std::filesystem::remove(file);
  write_text(file, "2 1 1 84 85 82 83 10 28");
  EXPECT_TRUE(save_settings());
  EXPECT_EQ(read_text(file), "2 1 0 84 85 82 83 10 28");
}

// A save of "KV scores.dat" in a child process, with the file size limited
// and the close failing when asked; the superuser may write into any
// folder, so as root the child first gives up its rights. Whether it
// succeeded, and what it said.
std::pair<bool, std::string> save_in_child(const std::string &text, rlim_t max_size, bool fail_close) {
  int said[2];
  if (pipe(said) != 0) return {false, "no pipe"};
  const pid_t child = fork();
  if (child == 0) {
    dup2(said[1], 2);
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{max_size, max_size};
    setrlimit(RLIMIT_FSIZE, &limit);
    if (fail_close) close_file = [](int) { return errno = EIO, -1; };
    _exit(save_file("KV scores.dat", text) ? 0 : 1);
  }
  close(said[1]);
  std::string text_said;
  char part[256];
  for (ssize_t n; (n = read(said[0], part, sizeof part)) > 0;) text_said.append(part, n);
  close(said[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) && WEXITSTATUS(status) == 0, text_said};
}

// No new file can be made in the folder, but the file itself is writable:
// the save writes it in place, as a plain write would, and names the file
// and the reason when the open, a write or the close fails. (The last case:
// a folder that takes new files keeps the old file when the close fails.)
TEST_F(data_files, a_save_into_a_read_only_folder_writes_the_file_in_place) {
  const struct { mode_t folder, file; rlim_t max_size; bool fail_close; const char *reason, *left; } cases[] = {
      {0555, 0644, RLIM_INFINITY, false, "", "50 2000 2000"},
      {0555, 0444, RLIM_INFINITY, false, "Permission denied", "9 9 9"},
      {0555, 0644, 4, false, "File too large", "50 2"},
      {0555, 0644, RLIM_INFINITY, true, "Input/output error", "50 2000 2000"},
      {0777, 0644, RLIM_INFINITY, true, "Input/output error", "9 9 9"},
  };
  for (const auto &k : cases) {
    std::filesystem::remove(folder.file("KV scores.dat"));
    write_text(folder.file("KV scores.dat"), "9 9 9");
    chmod(folder.file("KV scores.dat").c_str(), k.file);
    // The file belongs to the saver: only the folder refuses.
    if (geteuid() == 0 && chown(folder.file("KV scores.dat").c_str(), 65534, 65534) != 0)
      FAIL() << "cannot hand the file over";
    chmod(folder.path.c_str(), k.folder);
    const auto [saved, said] = save_in_child("50 2000 2000", k.max_size, k.fail_close);
    chmod(folder.path.c_str(), 0755);
    EXPECT_EQ(saved, !*k.reason) << k.reason;
    EXPECT_EQ(said, *k.reason ? "krove-vestin: cannot save \"KV scores.dat\": " + std::string(k.reason) + "\n" : "");
    EXPECT_EQ(read_text(folder.file("KV scores.dat")), k.left) << k.reason;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
  }
}

TEST_F(data_files, a_disk_that_fills_up_halfway_keeps_the_old_file) {
  write_text(folder.file("KV settings.dat"), "3 0 1 84 85 82 83 75 28");
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 10;  // the new file can grow to 10 bytes only
  auto *const previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_FALSE(save_file("KV settings.dat", "2 0 1 84 85 82 83 75 28"));  // and says so
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "3 0 1 84 85 82 83 75 28");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
  EXPECT_TRUE(save_file("KV settings.dat", "2 0 1 84 85 82 83 75 28"));
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "2 0 1 84 85 82 83 75 28");
}

}  // namespace
