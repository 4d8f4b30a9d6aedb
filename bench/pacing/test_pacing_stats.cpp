// The arithmetic behind the pacing figures, on hand-made logs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "cpu_sampler.h"
#include "pacing_stats.h"

namespace {

const std::int64_t ms = 1000000;  // nanoseconds

logged_frame note(int mark, std::int64_t at_ms, int state) { return {mark, at_ms, at_ms * ms, state}; }

TEST(pacing_stats, intervals_belong_to_the_screen_of_their_closing_frame) {
  const std::vector<logged_frame> log = {note(0, 0, -3), note(1, 40, -3), note(1, 60, -3),
                                         note(1, 81, 0), note(1, 101, 0)};
  EXPECT_EQ(present_intervals(log, -3), (std::vector<double>{20}));
  EXPECT_EQ(present_intervals(log, 0), (std::vector<double>{21, 20}));
  EXPECT_EQ(present_intervals(log, ANY_SCREEN).size(), 3u);
  EXPECT_DOUBLE_EQ(start_to_first_present_ms(log), 40);
}

TEST(pacing_stats, a_banner_hold_is_left_out_unless_asked_for) {
  const std::vector<logged_frame> log = {note(1, 0, 4), note(1, 20, 4), note(2, 21, 4),
                                         note(1, 1021, 4), note(1, 1041, 4)};
  EXPECT_EQ(present_intervals(log, 4), (std::vector<double>{20, 20}));
  EXPECT_EQ(present_intervals(log, 4, true), (std::vector<double>{20, 1001, 20}));
}

TEST(pacing_stats, percentiles_are_nearest_rank_and_fps_is_frames_over_time) {
  std::vector<double> v;
  for (int i = 1; i <= 100; i++) v.push_back(i);
  EXPECT_EQ(percentile(v, 50), 50);
  EXPECT_EQ(percentile(v, 99), 99);
  EXPECT_EQ(percentile(v, 100), 100);
  const interval_summary s = summarise({20, 20, 20, 22});
  EXPECT_DOUBLE_EQ(s.mean_fps, 4000.0 / 82);
  EXPECT_EQ(s.max_ms, 22);
  EXPECT_EQ(s.over_21ms, 1);
}

TEST(pacing_stats, cpu_goes_to_a_screen_only_for_slices_wholly_on_it) {
  const std::vector<logged_frame> log = {note(0, 0, 0), note(1, 50, -3), note(1, 250, 0)};
  const std::vector<cpu_sample> samples = {{0, 0}, {100 * ms, 5}, {200 * ms, 7}, {300 * ms, 20},
                                           {400 * ms, 21}};
  EXPECT_EQ(screen_at(log, 10 * ms), STARTING_UP);
  EXPECT_EQ(screen_at(log, 250 * ms), 0);
  const cpu_share splash = cpu_on_screen(log, samples, -3, 100);
  EXPECT_DOUBLE_EQ(splash.cpu_s, 0.02);  // 100-200 ms only; 0-100 starts before the first frame
  EXPECT_DOUBLE_EQ(splash.wall_s, 0.1);
  const cpu_share title = cpu_on_screen(log, samples, 0, 100);
  EXPECT_DOUBLE_EQ(title.cpu_s, 0.01);  // 300-400 ms; 200-300 straddles the change
  EXPECT_DOUBLE_EQ(title.percent(), 10);
}

TEST(pacing_stats, reads_the_log_the_game_writes) {
  const std::string path = ::testing::TempDir() + "kv_frames_test.log";
  std::ofstream(path) << "# mark timer_ms mono_ns state\n0 0 5000 -3\n1 38 43000000 -3\n";
  std::vector<logged_frame> log;
  ASSERT_TRUE(read_frame_log(path, log));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].mark, 1);
  EXPECT_EQ(log[1].timer_ms, 38);
  EXPECT_EQ(log[1].mono_ns, 43000000);
  EXPECT_EQ(log[1].state, -3);
  std::ofstream(path) << "1 2 3\n";
  EXPECT_FALSE(read_frame_log(path, log));
  std::remove(path.c_str());
}

TEST(pacing_stats, cpu_time_of_a_live_process_and_of_none) {
  EXPECT_GE(read_cpu_ticks(getpid()), 0);
  EXPECT_EQ(read_cpu_ticks(-1), -1);
}

}  // namespace
