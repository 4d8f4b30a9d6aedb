// A minute of random play in the real window: the built game under Xvfb
// gets random presses of its six keys and Esc through several games and
// menus, then the close message. It must exit 0, leave both data files well
// formed with what was chosen, and hold its memory: resident memory on the
// high-score table at the end within 2 MiB of what it was there after the
// first game, at the same window size.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "game_driver.h"
#include "proc_memory.h"
#include "window_walk.h"

namespace {

const int walk_ms = 60000;
const int finish_ms = 60000;  // to the table of one more game at the first size
const long max_growth_kib = 2048;

std::vector<long> numbers_in(const std::string &text) {
  std::istringstream in(text);
  std::vector<long> v;
  long n;
  while (in >> n) v.push_back(n);
  return v;
}

class window_soak : public ::testing::Test {
protected:
  void TearDown() override {
    if (HasFailure()) report_session_failure(s, "soak_window");
    kill_game(s.game);
  }
  game_session s;
};

}  // namespace

TEST_F(window_soak, a_minute_of_random_keys_keeps_the_game_whole) {
  ASSERT_TRUE(prepare_session(s));
  ASSERT_TRUE(launch_game(s));
  walker w;
  walk_start(w, 4711);

  long first_kib = -1, last_kib = -1;
  int first_size = 0;
  const long long start = now_ms();
  bool finished = false;
  while (!finished && now_ms() - start < walk_ms + finish_ms) {
    ASSERT_TRUE(game_running(s.game)) << "the game ended by itself on " << screen_name(w.current);
    rgb_image picture;
    if (!grab_picture(s, picture)) {  // between two window sizes
      pause_ms(20);
      continue;
    }
    walk_step(s, w, picture);
    if (w.current != screen::high_scores || now_ms() - w.entered_ms < 300) continue;
    // On the table, once it has stood a moment: measure after the first game,
    // and once the minute is over and the window is back at that size.
    if (first_kib < 0) {
      first_kib = resident_kib(s.game.pid);
      first_size = w.size;
    } else if (first_kib > 0 && now_ms() - start >= walk_ms) {
      w.wanted_size = first_size;
      if (w.size == first_size) {
        last_kib = resident_kib(s.game.pid);
        finished = true;
      }
    }
  }
  ASSERT_TRUE(finished) << "never back on the table at the first size; on " << screen_name(w.current);
  const double seconds = (now_ms() - start) / 1000.0;

  ASSERT_TRUE(send_close_message(s.server, s.window));
  const exit_result r = wait_for_exit(s.game, 5000);
  ASSERT_TRUE(r.exited) << "still running 5 s after the close message";
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.code, 0);

  const walk_tally &t = w.tally;
  std::printf("window soak: %.0f s, %d games, %d titles, %d pauses, %d Esc, %d difficulty picks, "
              "%d size changes, %d keys rebound, %d sound picks; resident %ld KiB after the first "
              "game, %ld KiB at the end (%+ld KiB)\n",
              seconds, t.games, t.titles, t.pauses, t.escapes, t.difficulty_picks, t.size_changes,
              t.rebinds, t.sound_picks, first_kib, last_kib, last_kib - first_kib);
  EXPECT_GE(seconds, 60.0);
  EXPECT_GE(t.games, 4);
  EXPECT_GE(t.difficulty_picks, 1);
  EXPECT_GE(t.size_changes, 1);
  EXPECT_GE(t.rebinds, 6);
  EXPECT_GT(first_kib, 0);
  EXPECT_LE(last_kib - first_kib, max_growth_kib);

  // Nine numbers: what was chosen, and the six keys as the walk bound them.
  const std::vector<long> settings = numbers_in(read_work_file(s.folder, "KV settings.dat"));
  ASSERT_EQ(settings.size(), 9u) << read_work_file(s.folder, "KV settings.dat");
  EXPECT_EQ(settings[0], w.mode);
  EXPECT_EQ(settings[1], w.size);
  EXPECT_EQ(settings[2], 1);  // sound: the entry does nothing
  for (int a = 0; a < 6; a++) EXPECT_EQ(settings[3 + a], scancode_of(w.key_for[a])) << action_name(a);
  // Three best scores, never below the built-in 2000.
  const std::vector<long> scores = numbers_in(read_work_file(s.folder, "KV scores.dat"));
  ASSERT_EQ(scores.size(), 3u) << read_work_file(s.folder, "KV scores.dat");
  for (long best : scores) EXPECT_GE(best, 2000);
}
