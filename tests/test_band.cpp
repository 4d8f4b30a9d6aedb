// The band effects: level banner, pause overlay, game-over banner. What each
// band frame presented is read off the screen when the frame starts its wait.
#include <allegro.h>
#include <gtest/gtest.h>

#include <functional>

#include "core/clock.h"
#include "platform/desktop.h"
#include "input/pad.h"
#include "core/state.h"
#include "core/resources.h"
#include "app/state_machine.h"
#include "app/game_screen.h"
#include "field/rise.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "store/scores.h"
#include "render/band.h"
#include "render/blend.h"
#include "render/effects.h"
#include "support/test_env.h"

namespace {

const std::uint32_t grey = 0x808080, white = 0xFFFFFF;

struct shown {
  int first = -1, last = -1, rows = 0;  // darkened rows in column 3
  bool text = false;                     // white pixels anywhere
};

std::vector<shown> frames;   // one per presented effect frame
std::vector<shown> holds;    // what stood on the screen during each one-second hold
std::vector<size_t> hold_after;  // how many frames had been presented before each hold
std::function<void(int)> script;  // acts on the keys at the end of frame k
BITMAP *hold_picture = nullptr;   // the screen during the last hold

shown read_screen() {
  shown s;
  const std::uint32_t dark = blended(0, grey, 3);
  for (int y = 0; y < 240; y++) {
    if (pixel_at(screen, 3, y) == dark) {
      if (s.first < 0) s.first = y;
      s.last = y;
      s.rows++;
    }
    for (int x = 0; x < 320 && !s.text; x++) s.text = pixel_at(screen, x, y) == white;
  }
  return s;
}

void recording_sleep(unsigned int ms) {
  if (ms == 1000) {
    holds.push_back(read_screen());
    hold_after.push_back(frames.size());
    blit(screen, hold_picture, 0, 0, 0, 0, 320, 240);
  } else if (timer == start_time) {  // first sleep of a frame: its picture is up
    frames.push_back(read_screen());
    if (script) script(static_cast<int>(frames.size()) - 1);
  }
  timer += ms;
}

class bands : public ::testing::Test {
protected:
  void (*saved_sleep)(unsigned int) = nullptr;
  void SetUp() override {
    reset_game();
    clear_to_color(buffer, makecol(128, 128, 128));
    frames.clear();
    holds.clear();
    hold_after.clear();
    script = nullptr;
    saved_sleep = sleep_ms;
    sleep_ms = recording_sleep;
    hold_picture = create_bitmap(320, 240);
  }
  void TearDown() override {
    destroy_bitmap(hold_picture);
    sleep_ms = saved_sleep;
    script = nullptr;
  }
  // A new game as the game screen enters it, at frame number frame.
  static void begin_game(int frame) {
    game_state = STATE_GAME;
    enter_game();
    loop_num = frame;
  }
  static void expect_band(const shown &s, int n) {
    EXPECT_EQ(s.rows, 2 * n + 1);
    EXPECT_EQ(s.first, 120 - n);
    EXPECT_EQ(s.last, 120 + n);
    EXPECT_FALSE(s.text);
  }
};

TEST_F(bands, band_in_grows_in_13_frames_and_band_out_shrinks_in_13) {
  BITMAP *t = create_bitmap(320, 240);
  band_transition(t, true);
  ASSERT_EQ(frames.size(), 13u);
  for (int k = 0; k < 13; k++) expect_band(frames[k], 2 * k);  // 1, 5, ..., 49 rows
  frames.clear();
  band_transition(t, false);
  ASSERT_EQ(frames.size(), 13u);
  for (int k = 0; k < 13; k++) expect_band(frames[k], 26 - 2 * k);  // 53, 49, ..., 5 rows
  destroy_bitmap(t);
  // buffer itself is never touched by the band
  EXPECT_EQ(pixel_at(buffer, 3, 120), grey);
}

TEST_F(bands, the_level_banner_shows_its_text_only_during_the_hold) {
  level = 3;
  show_level();
  ASSERT_EQ(frames.size(), 26u);
  ASSERT_EQ(holds.size(), 1u);
  for (const shown &s : frames) EXPECT_FALSE(s.text);
  expect_band(frames[12], 24);
  expect_band(frames[13], 26);
  // The hold: the last band-in frame with the level written on it.
  BITMAP *want = create_bitmap(320, 240);
  blit(buffer, want, 0, 0, 0, 0, 320, 240);
  trans_rect(want, 0, 96, 320, 144, makecol(0, 0, 0), 3);
  textprintf_centre_ex(want, lrg_txt, 160, 105, makecol(255, 255, 255), -1, "LEVEL 3");
  EXPECT_TRUE(holds[0].text);
  for (int y = 0; y < 240; y++)
    for (int x = 0; x < 320; x++) ASSERT_EQ(pixel_at(hold_picture, x, y), pixel_at(want, x, y));
  destroy_bitmap(want);
}

TEST_F(bands, the_game_over_step_runs_the_banner_and_leads_to_the_table) {
  game_state = STATE_GAME;
  game_over_step();
  EXPECT_TRUE(frames.empty());
  EXPECT_EQ(game_state.load(), STATE_GAME);
  game_over = true;
  game_over_step();
  EXPECT_EQ(frames.size(), 26u);
  ASSERT_EQ(holds.size(), 1u);
  EXPECT_TRUE(holds[0].text);
  EXPECT_EQ(game_state.load(), STATE_GAME_OVER);
}

// A game that has ended counts even when the window is closed during its
// game-over banner: the game quits when the banner is over, without the
// table, and the new best score is saved.
TEST_F(bands, a_close_during_the_game_over_banner_quits_with_the_score_recorded) {
  temp_folder folder;
  menu m;
  highscore_n = -100;
  game_state = STATE_GAME;
  press_key(KEY_ESC);  // the game ends after its first frame
  script = [](int k) {
    if (k == 3) quit_game();
  };
  EXPECT_TRUE(run_pass(m));
  reload_resources();
  EXPECT_EQ(holds.size(), 2u);    // the game-over banner, then the first frame's level banner
  EXPECT_EQ(frames.size(), 52u);  // and not one frame of the table
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 0 2000");
}

TEST_F(bands, the_pause_needs_the_key_released_and_pressed_again) {
  press_key(KEY_1);
  script = [](int k) {
    if (k == 13 + 5) release_key(KEY_1);
    if (k == 13 + 10) press_key(KEY_1);
  };
  pause_step();
  // 13 band-in frames, pause frames 0 to 10, 13 band-out frames.
  ASSERT_EQ(frames.size(), 13u + 11u + 13u);
  for (int k = 13; k < 24; k++) {
    EXPECT_EQ(frames[k].first, 95);
    EXPECT_EQ(frames[k].last, 145);
    EXPECT_TRUE(frames[k].text);
  }
  expect_band(frames[24], 26);
  expect_band(frames[36], 2);
  EXPECT_TRUE(key_pause);
  EXPECT_FALSE(game_over);
}

// Rows 95 to 145 of the frozen game at a quarter of their brightness, the
// two lines over them at y 100 and 132.
TEST_F(bands, the_pause_screen_shows_its_band_and_both_lines) {
  for (int y = 0; y < 240; y++)
    for (int x = 0; x < 320; x++) putpixel(buffer, x, y, makecol(x & 255, y, (3 * x + y) & 255));
  press_key(KEY_1);
  BITMAP *want = create_bitmap(320, 240);
  for (int y = 0; y < 240; y++)
    for (int x = 0; x < 320; x++) {
      const std::uint32_t p = pixel_at(buffer, x, y);
      putpixel(want, x, y, y >= 95 && y <= 145 ? blended(0, p, 3) : p);
    }
  textprintf_centre_ex(want, lrg_txt, 160, 100, makecol(255, 255, 255), -1, "GAME PAUSED");
  textprintf_centre_ex(want, reg_txt, 160, 132, makecol(255, 255, 255), -1, "PRESS AGAIN TO UNPAUSE");
  int mismatches = -1;
  script = [&](int k) {
    if (k == 14) {
      mismatches = 0;
      for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++) mismatches += pixel_at(screen, x, y) != pixel_at(want, x, y);
      press_key(KEY_ESC);
    }
  };
  pause_step();
  EXPECT_EQ(mismatches, 0);
  destroy_bitmap(want);
}

// A window that lost the focus pauses as a fresh press of the pause key
// would; a focus lost again during the pause does not pause once more.
TEST_F(bands, a_lost_focus_pauses_until_the_pause_key_is_pressed) {
  focus_lost = true;
  script = [](int k) {
    if (k == 13 + 1) focus_lost = true;
    if (k == 13 + 4) press_key(KEY_1);
  };
  pause_step();
  EXPECT_EQ(frames.size(), 13u + 5u + 13u);
  release_key(KEY_1);
  pause_step();
  EXPECT_EQ(frames.size(), 13u + 5u + 13u);
}

// A pad pulled out pauses as a lost focus does; one pulled out in the
// menus does not pause the new game.
TEST_F(bands, a_pad_pulled_out_pauses_the_game_but_not_the_next_one) {
  pad_lost = true;
  script = [](int k) {
    if (k % 28 == 13 + 1) press_key(KEY_1);  // the second frame of any pause
  };
  pause_step();
  release_key(KEY_1);
  pad_lost = true;
  enter_game();
  pause_step();
  EXPECT_EQ(frames.size(), 13u + 2u + 13u);
}

TEST_F(bands, a_held_pause_key_does_not_pause_again_until_pressed_anew) {
  press_key(KEY_1);
  key_pause = true;  // it was already down in the previous frame
  pause_step();
  EXPECT_TRUE(frames.empty());
  release_key(KEY_1);
  pause_step();
  EXPECT_FALSE(key_pause);
  press_key(KEY_1);
  script = [](int k) {
    if (k == 13) release_key(KEY_1);
    if (k == 15) press_key(KEY_1);
  };
  pause_step();
  EXPECT_EQ(frames.size(), 13u + 3u + 13u);
}

TEST_F(bands, esc_in_the_pause_ends_the_game) {
  press_key(KEY_1);
  script = [](int k) {
    if (k == 13 + 2) press_key(KEY_ESC);
  };
  pause_step();
  EXPECT_TRUE(game_over);
  // Pause frame 3 saw Esc and left without its wait: three pause frames recorded.
  EXPECT_EQ(frames.size(), 13u + 3u + 13u);
}

TEST_F(bands, the_close_button_ends_the_pause) {
  game_state = STATE_GAME;
  press_key(KEY_1);
  script = [](int k) {
    if (k == 13 + 4) quit_game();
  };
  pause_step();
  EXPECT_EQ(game_state.load(), STATE_QUIT);
  EXPECT_EQ(frames.size(), 13u + 5u + 13u);
}

TEST_F(bands, every_effect_leaves_its_last_frame_fully_waited) {
  level = 1;
  show_level();
  EXPECT_GE(timer.load(), start_time + 20);
}

// The game screen's frame: update, picture, effects, present, the pause,
// the game-over banner, the level banner of a new game, the wait.
TEST_F(bands, a_game_frame_updates_shows_the_field_and_its_effects_and_waits_once) {
  begin_game(18);  // a rise step (spd 18) and a gravity step
  timer = 5000;
  spark.push_back({100, 100, 1, 1, 30});
  create_msg(60, 60, 50);
  int wrong = -1;
  script = [&](int) {
    wrong = pixel_at(screen, 8, 8) != white || pixel_at(screen, 101, 101) != 0xFFFF00u;
    for (int y = 0; y < 240; y += 7)
      for (int x = 0; x < 320; x += 5) wrong += pixel_at(screen, x, y) != pixel_at(buffer, x, y);
  };
  game_frame();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_TRUE(holds.empty());
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(timer.load(), 5020);
  EXPECT_EQ(lift, 2);
  EXPECT_EQ(loop_num, 19);
  EXPECT_EQ(spark[0].life, 29);
  EXPECT_EQ(score_msg[0].life, 24);
  EXPECT_EQ(game_state.load(), STATE_GAME);
}

TEST_F(bands, the_background_scrolls_by_the_difficulty_during_play) {
  begin_game(1);
  const int step[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}};  // mode, pixels
  for (auto [m, pixels] : step) {
    mode = m;
    const int before = scroll_t;
    game_frame();
    EXPECT_EQ(scroll_t - before, pixels) << "mode " << m;
  }
}

TEST_F(bands, only_the_first_frame_of_a_game_shows_the_level_banner_after_its_picture) {
  begin_game(0);
  game_frame();
  ASSERT_EQ(hold_after, std::vector<size_t>{13});
  EXPECT_TRUE(holds[0].text);
  EXPECT_EQ(frames.size(), 13u + 13u);  // the banner's last frame was the frame's wait
  game_frame();
  EXPECT_EQ(holds.size(), 1u);
}

// Esc and a fresh pause press in one frame: the pause comes first and is
// left by the Esc, then the game-over banner leads to the table.
TEST_F(bands, the_pause_runs_before_the_game_over_banner) {
  begin_game(5);
  press_key(KEY_ESC);
  press_key(KEY_1);
  game_frame();
  // pause band in and out, game-over band in, hold, band out
  ASSERT_EQ(hold_after, std::vector<size_t>{13 + 13 + 13});
  EXPECT_TRUE(holds[0].text);
  EXPECT_EQ(frames.size(), 13u * 4);
  EXPECT_EQ(game_state.load(), STATE_GAME_OVER);
}

}  // namespace
