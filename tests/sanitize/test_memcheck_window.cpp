// The built game under Valgrind's memcheck for a short real session in a
// window (Xvfb): start, a game with a few shots, game over, the high-score
// table, the options, QUIT from the title. Memcheck must find no invalid
// access or use of uninitialised memory, and nothing of ours definitely or
// indirectly lost; library-internal noise is suppressed by memcheck.supp.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <iostream>
#include <regex>
#include <string>

#include "game_driver.h"
#include "game_screens.h"

namespace {

// Memcheck runs the game some twenty times slower: every wait is generous.
const int slow_ms = 60000;

class memcheck_window : public ::testing::Test {
protected:
  void TearDown() override {
    if (HasFailure()) {
      report_session_failure(s, "memcheck_window");
      std::cerr << "--- memcheck log ---\n" << read_work_file(s.folder, "memcheck.log");
    }
    kill_game(s.game);
  }

  // The game started through valgrind, its window found and focused.
  bool launch_under_memcheck() {
    const std::vector<std::string> args = {
        "--tool=memcheck",
        "--leak-check=full",
        "--show-leak-kinds=definite,indirect",
        "--errors-for-leak-kinds=definite,indirect",
        "--track-origins=yes",
        "--error-exitcode=99",
        "--suppressions=" KV_MEMCHECK_SUPP,
        "--gen-suppressions=all",
        "--log-file=memcheck.log",
        game_binary_path(),
    };
    if (!start_game(s.game, KV_VALGRIND, s.folder, s.server, args)) return false;
    return poll_until(
        [&] {
          s.window = find_game_window(s.server);
          rgb_image p;
          return s.window != 0 && grab_picture(s, p) && focus_window(s.server, s.window);
        },
        slow_ms, 50);
  }

  game_session s;
};

bool in_game(const rgb_image &p) { return shows_live_game(p) || shows_band_over_game(p); }

}  // namespace

TEST_F(memcheck_window, a_short_session_has_no_memory_errors_and_no_leak_of_ours) {
  ASSERT_TRUE(prepare_session(s));
  ASSERT_TRUE(launch_under_memcheck()) << read_game_stderr(s.folder);

  ASSERT_TRUE(hold_key_until(s, XK_space, shows_title, slow_ms)) << "no title";
  ASSERT_TRUE(hold_key_until(s, XK_space, in_game, slow_ms)) << "no game";
  ASSERT_TRUE(wait_for_picture(s, shows_live_game, slow_ms)) << "no live game after the banner";
  // A few shots and moves: blasts, score texts, the recharge.
  const unsigned long moves[] = {XK_space, XK_Left, XK_space, XK_Up, XK_space, XK_Right, XK_space};
  for (unsigned long key : moves) {
    key_down(s.server, key);
    pause_ms(100);
    key_up(s.server, key);
    pause_ms(900);
  }
  ASSERT_TRUE(tap_key_until(
      s, XK_Escape, [](const rgb_image &p) { return shows_heading(p, "HIGH SCORES"); }, slow_ms,
      3000))
      << "no high-score table after Esc";
  ASSERT_TRUE(tap_key_until(s, XK_space, shows_title, slow_ms, 3000)) << "no title after the table";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1, slow_ms));
  ASSERT_TRUE(tap_key_until(s, XK_space, shows_options, slow_ms, 3000)) << "no options";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, 4, slow_ms));
  ASSERT_TRUE(tap_key_until(s, XK_space, shows_title, slow_ms, 3000)) << "no title after BACK";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 2, slow_ms));
  const exit_result r = hold_key_until_exit(s, XK_space, slow_ms);

  const std::string log = read_work_file(s.folder, "memcheck.log");
  ASSERT_TRUE(r.exited) << "QUIT did not end the game";
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.code, 0) << "99: memcheck found errors";
  EXPECT_NE(log.find("ERROR SUMMARY: 0 errors"), std::string::npos);
  std::smatch lost;
  ASSERT_TRUE(std::regex_search(log, lost, std::regex("definitely lost: ([0-9,]+) bytes")))
      << "no leak summary: the game freed everything or never finished";
  EXPECT_EQ(lost[1].str(), "0");
  ASSERT_TRUE(std::regex_search(log, lost, std::regex("indirectly lost: ([0-9,]+) bytes")));
  EXPECT_EQ(lost[1].str(), "0");
  EXPECT_TRUE(work_file_exists(s.folder, "KV settings.dat"));
  std::smatch summary;
  if (std::regex_search(log, summary, std::regex("ERROR SUMMARY: [^\n]*")))
    std::cout << "memcheck: " << summary.str() << "\n";
}
