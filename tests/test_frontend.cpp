// The splash, the title's ticker, the controls screen and the high-score table.
#include <allegro.h>
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/state.h"
#include "core/resources.h"
#include "display/screen.h"
#include "display/window.h"
#include "app/state_machine.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "input/keys.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "store/scores.h"
#include "support/test_env.h"

namespace {

class front_end : public ::testing::Test {
protected:
  menu m;
  void SetUp() override { reset_game(); }
};

// The white pixels of a text as the library draws it, for comparing positions.
std::vector<std::pair<int, int>> text_pixels(FONT *f, int x, int y, const char *text) {
  BITMAP *ref = create_bitmap(320, 240);
  clear_to_color(ref, makecol(0, 0, 0));
  textprintf_centre_ex(ref, f, x, y, makecol(255, 255, 255), -1, "%s", text);
  std::vector<std::pair<int, int>> at;
  for (int j = 0; j < 240; j++)
    for (int i = 0; i < 320; i++)
      if (pixel_at(ref, i, j) == 0xFFFFFFu) at.push_back({i, j});
  destroy_bitmap(ref);
  return at;
}

TEST_F(front_end, the_splash_name_rises_stands_and_rises_on_without_a_jump) {
  const int frames[] = {0, 80, 81, 159, 160, 279};
  const int name_y[] = {230, 110, 110, 110, 110, -68};
  for (int k = 0; k < 6; k++) EXPECT_EQ(230 - splash_rise(frames[k]), name_y[k]) << frames[k];
  // What is drawn: "Tavelo" at the name's place, "presents" 40 pixels below.
  game_state = STATE_SPLASH;
  for (int frame : {0, 80, 200}) {
    loop_num = frame;
    clear_to_color(buffer, makecol(9, 9, 9));
    splash_frame();
    const int y = 230 - splash_rise(frame);
    const auto name = text_pixels(lrg_txt, 160, y, "Tavelo");
    for (auto [x, yy] : name) ASSERT_EQ(pixel_at(screen, x, yy), 0xFFFFFFu) << frame;
    // The letters have no box: between them the picture beneath shows.
    int gaps = 0;
    for (int x = name.front().first; x < 320; x++)
      if (pixel_at(screen, x, name.front().second) != 0xFFFFFFu) {
        EXPECT_EQ(pixel_at(screen, x, name.front().second), rgb(9, 9, 9)) << frame << " x " << x;
        if (++gaps == 3) break;
      }
    for (auto [x, yy] : text_pixels(reg_txt, 160, y + 40, "presents"))
      ASSERT_EQ(pixel_at(screen, x, yy), 0xFFFFFFu) << frame;
    // Once presented, the buffer holds the background for the next frame.
    EXPECT_EQ(pixel_at(buffer, 5, 5), background_pixel(5, 5, scroll_t - 1)) << frame;
  }
}

TEST_F(front_end, the_splash_lasts_280_frames_or_ends_at_once_on_esc_or_fire) {
  game_state = STATE_SPLASH;
  enter_splash();
  run_splash();
  EXPECT_EQ(loop_num, 280);
  EXPECT_EQ(scroll_t, 280);
  EXPECT_EQ(timer.load(), 280 * 20);  // every frame waits its 20 ms
  EXPECT_EQ(game_state.load(), STATE_SPLASH);  // the pass, not the splash, moves on to the title
  for (int k : {KEY_ESC, KEY_SPACE}) {
    reset_game();
    enter_splash();
    press_key(k);
    run_splash();
    EXPECT_EQ(loop_num, 1);  // the frame that saw the key is still finished
    EXPECT_EQ(game_state.load(), STATE_TITLE);
  }
}

TEST_F(front_end, the_ticker_moves_a_line_then_rests_with_offsets_11_23_35_47_11) {
  game_state = STATE_TITLE;
  enter_title(m);
  std::vector<int> rest_offsets;
  std::vector<int> step_lengths;
  int run = 0;
  for (int k = 0; k < 900; k++) {
    const int before = credit_scroll;
    title_frame(m);
    if (credit_scroll != before) {
      run++;
    } else if (run > 0) {
      step_lengths.push_back(run);
      rest_offsets.push_back(ticker_offset());
      run = 0;
    }
  }
  ASSERT_GE(rest_offsets.size(), 5u);
  EXPECT_EQ(std::vector<int>(rest_offsets.begin(), rest_offsets.begin() + 5),
            (std::vector<int>{11, 23, 35, 47, 11}));
  EXPECT_EQ(step_lengths[0], 35);
  EXPECT_EQ(step_lengths[1], 36);
  EXPECT_EQ(step_lengths[2], 36);
  EXPECT_EQ(credit_scroll, 35 + 4 * 36 + 1);  // a step every 180 frames: the sixth begins at 900
}

// The white letters in the ticker strip (rows 220-231) are those of the
// first two credits lines drawn offset pixels higher than their rest place.
void expect_ticker_letters(int offset) {
  BITMAP *strip = create_bitmap(320, 12);
  clear_to_color(strip, makecol(0, 0, 0));
  textprintf_centre_ex(strip, reg_txt, 160, 1 - offset, makecol(255, 255, 255), -1,
                       "CODING & GAME DESIGN: TAVELO");
  textprintf_centre_ex(strip, reg_txt, 160, 13 - offset, makecol(255, 255, 255), -1,
                       "ORIGINAL ART: BRISOM");
  for (int y = 0; y < 12; y++)
    for (int x = 0; x < 320; x++)
      ASSERT_EQ(pixel_at(screen, x, 220 + y) == 0xFFFFFFu, pixel_at(strip, x, y) == 0xFFFFFFu)
          << "offset " << offset << " at " << x << "," << 220 + y;
  destroy_bitmap(strip);
}

TEST_F(front_end, the_ticker_band_reaches_one_row_below_the_strip) {
  game_state = STATE_TITLE;
  enter_title(m);
  clear_to_color(buffer, makecol(200, 200, 200));
  title_frame(m);
  for (int x : {0, 2, 319}) {  // from the first column to the last
    EXPECT_EQ(pixel_at(screen, x, 219), rgb(200, 200, 200));
    EXPECT_EQ(pixel_at(screen, x, 220), rgb(100, 100, 100));
    EXPECT_EQ(pixel_at(screen, x, 232), rgb(100, 100, 100));
    EXPECT_EQ(pixel_at(screen, x, 233), rgb(200, 200, 200));
  }
  expect_ticker_letters(0);
}

// The credits move up; coming back to the title starts them from the first line.
TEST_F(front_end, the_ticker_moves_up_and_starts_again_when_the_title_is_entered) {
  game_state = STATE_TITLE;
  enter_title(m);
  credit_scroll = 33;
  title_frame(m);
  expect_ticker_letters(11);
  enter_title(m);
  title_frame(m);
  expect_ticker_letters(0);
}

// After a size change: two lines, in frames paced like every menu's, until fire.
TEST_F(front_end, the_size_changed_screen_shows_its_two_lines_until_fire) {
  game_state = STATE_SCREEN_SIZE;
  int frames = 0, unlit = 0;
  on_frame_wait = [&] {
    frames++;
    for (auto [x, y] : text_pixels(reg_txt, 160, 110, "Screen size changed."))
      unlit += pixel_at(screen, x, y) != 0xFFFFFFu;
    for (auto [x, y] : text_pixels(reg_txt, 160, 130, "Press fire."))
      unlit += pixel_at(screen, x, y) != 0xFFFFFFu;
    if (frames == 3) press_key(KEY_SPACE);
  };
  run_screen_size();
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(unlit, 0);
  EXPECT_EQ(timer.load(), 3 * 20);
  EXPECT_EQ(scroll_t, 3);
  EXPECT_EQ(game_state.load(), STATE_SCREEN_SIZE);  // the pass moves on to the options
}

TEST_F(front_end, the_credits_lines_fit_the_strip) {
  for (const char *line : {"CODING & GAME DESIGN: TAVELO", "ORIGINAL ART: BRISOM", "CO-DESIGN: NEMBRA",
                           "SPECIAL THANKS: EVERYONE WHO PLAYTESTED"})
    EXPECT_LE(text_length(reg_txt, line), 320) << line;
}

TEST_F(front_end, controls_take_no_key_in_the_first_30_frames) {
  game_state = STATE_CONTROLS;
  enter_controls();
  press_key(KEY_A);
  for (int k = 0; k < 30; k++) controls_frame();
  EXPECT_EQ(bind_step, 0);
  EXPECT_EQ(b_u, KEY_UP);
  for (auto [x, y] : text_pixels(reg_txt, 160, 120, "press up")) ASSERT_EQ(pixel_at(screen, x, y), 0xFFFFFFu);
  controls_frame();
  EXPECT_EQ(bind_step, 1);
  EXPECT_EQ(b_u, KEY_A);
}

TEST_F(front_end, two_keys_in_one_frame_bind_in_ascending_order) {
  game_state = STATE_CONTROLS;
  enter_controls();
  bind_countdown = 0;
  press_key(KEY_Z);
  press_key(KEY_B);
  controls_frame();
  EXPECT_EQ(b_u, KEY_B);
  EXPECT_EQ(b_d, KEY_Z);
  EXPECT_EQ(bind_step, 2);
}

TEST_F(front_end, a_held_key_binds_every_30_frames_until_all_six_are_bound) {
  game_state = STATE_CONTROLS;
  enter_controls();
  press_key(KEY_Q);
  std::vector<int> bound_at;
  int frames = 0, before = 0;
  on_frame_wait = [&] {
    if (bind_step != before) bound_at.push_back(frames);
    before = bind_step;
    frames++;
  };
  run_controls();
  EXPECT_EQ(bound_at, (std::vector<int>{30, 60, 90, 120, 150, 180}));
  for (int b : {b_u, b_d, b_l, b_r, b_f, b_p}) EXPECT_EQ(b, KEY_Q);
}

TEST_F(front_end, esc_after_three_keys_keeps_the_rest) {
  game_state = STATE_CONTROLS;
  enter_controls();
  const int keys[3] = {KEY_W, KEY_S, KEY_A};
  int frame = 0;
  on_frame_wait = [&] {
    frame++;
    release_all_keys();
    if (frame == 30 || frame == 60 || frame == 90) press_key(keys[frame / 30 - 1]);
    if (frame == 100) press_key(KEY_ESC);
  };
  run_controls();
  EXPECT_EQ(b_u, KEY_W);
  EXPECT_EQ(b_d, KEY_S);
  EXPECT_EQ(b_l, KEY_A);
  EXPECT_EQ(b_r, KEY_RIGHT);
  EXPECT_EQ(b_f, KEY_SPACE);
  EXPECT_EQ(b_p, KEY_1);
}

TEST_F(front_end, esc_is_never_bound_and_scancodes_above_it_still_are) {
  game_state = STATE_CONTROLS;
  enter_controls();
  bind_countdown = 0;
  key[KEY_ESC] = 0;
  press_key(KEY_SPACE);  // 75, above Esc's 59
  press_key(126);
  controls_frame();
  EXPECT_EQ(b_u, KEY_SPACE);
  EXPECT_EQ(b_d, 126);
}

TEST_F(front_end, the_close_button_ends_the_controls_screen) {
  game_state = STATE_CONTROLS;
  enter_controls();
  int frames = 0;
  on_frame_wait = [&] {
    if (++frames == 5) quit_game();
  };
  run_controls();
  EXPECT_EQ(frames, 5);
  EXPECT_EQ(game_state.load(), STATE_QUIT);
}

// The display may refuse a window size: the game keeps the size it had; with
// neither size to be had it quits through the quit sequence, which saves.
TEST_F(front_end, a_refused_window_size_keeps_the_other_and_with_neither_the_game_quits_and_saves) {
  request_window = [](int w, int) { return w == 320; };
  game_state = STATE_SCREEN_SIZE;
  fullscreen = true;  // and full screen is left for the window
  enter_screen_size();
  EXPECT_EQ(scrn_size, 0);
  EXPECT_FALSE(fullscreen);
  request_window = [](int w, int) { return w == 640; };
  scrn_size = 1;
  enter_screen_size();
  EXPECT_EQ(scrn_size, 1);
  EXPECT_EQ(game_state.load(), STATE_SCREEN_SIZE);
  EXPECT_FALSE(window_lost);

  temp_folder folder;
  request_window = [](int, int) { return false; };
  testing::internal::CaptureStderr();
  EXPECT_TRUE(run_pass(m));
  const std::string said = testing::internal::GetCapturedStderr();
  reload_resources();
  EXPECT_TRUE(window_lost);
  EXPECT_EQ(said.rfind("krove-vestin: cannot open a 640x480 32-bit window", 0), 0u) << said;
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "2 1 1 84 85 82 83 75 28");
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 2000 2000");
}

TEST_F(front_end, only_a_strictly_higher_score_of_the_played_difficulty_enters_the_table) {
  mode = 2;
  score = 2000;
  enter_game_over(m);
  EXPECT_EQ(highscore_n, 2000);
  score = 2001;
  enter_game_over(m);
  EXPECT_EQ(highscore_n, 2001);
  EXPECT_EQ(highscore_e, 2000);
  EXPECT_EQ(highscore_h, 2000);
  mode = 3;
  score = -50;
  enter_game_over(m);
  EXPECT_EQ(highscore_h, 2000);
  score = 7000;
  enter_game_over(m);
  EXPECT_EQ(highscore_h, 7000);
  mode = 1;
  score = 2500;
  enter_game_over(m);
  EXPECT_EQ(highscore_e, 2500);
  EXPECT_EQ(highscore_n, 2001);
  EXPECT_EQ(loop_num, 0);
  ASSERT_EQ(m.entries.size(), 1u);
  EXPECT_STREQ(m.entries[0].label, "Return to title");
}

TEST_F(front_end, the_table_shows_hard_normal_easy_from_the_top) {
  highscore_e = 111;
  highscore_n = 2222;
  highscore_h = 33333;
  game_state = STATE_GAME_OVER;
  enter_game_over(m);
  clear_to_color(buffer, makecol(201, 201, 201));
  game_over_frame(m);
  BITMAP *want = create_bitmap(320, 240);
  clear_to_color(want, makecol(201, 201, 201));
  rectfill(want, 60, 95, 260, 145, makecol(100, 100, 100));  // the box darkens to half, rounded down
  const int white = makecol(255, 255, 255);
  textprintf_centre_ex(want, lrg_txt, 160, 50, white, -1, "HIGH SCORES");
  textprintf_ex(want, reg_txt, 70, 100, white, -1, "HARD:");
  textprintf_ex(want, reg_txt, 70, 115, white, -1, "NORMAL:");
  textprintf_ex(want, reg_txt, 70, 130, white, -1, "EASY:");
  textprintf_right_ex(want, reg_txt, 250, 100, white, -1, "33333");
  textprintf_right_ex(want, reg_txt, 250, 115, white, -1, "2222");
  textprintf_right_ex(want, reg_txt, 250, 130, white, -1, "111");
  rect(want, 60, 95, 260, 145, white);
  textprintf_ex(want, reg_txt, 130, 165, white, -1, "Return to title");
  draw_sprite(want, fireball[0], 110, 165);  // the marker on the one entry
  for (int y = 40; y < 180; y++)
    for (int x = 0; x < 320; x++) ASSERT_EQ(pixel_at(screen, x, y), pixel_at(want, x, y)) << x << "," << y;
  destroy_bitmap(want);
}

TEST_F(front_end, fire_returns_to_the_title_only_after_frame_30) {
  game_state = STATE_GAME_OVER;
  enter_game_over(m);
  press_key(KEY_SPACE);
  run_game_over(m);
  EXPECT_EQ(loop_num, 32);
  EXPECT_EQ(game_state.load(), STATE_TITLE);
  // The close button ends the table too, at the end of its frame.
  reset_game();
  game_state = STATE_GAME_OVER;
  enter_game_over(m);
  on_frame_wait = [] { quit_game(); };
  run_game_over(m);
  EXPECT_EQ(loop_num, 1);
  EXPECT_EQ(game_state.load(), STATE_QUIT);
}

}  // namespace
