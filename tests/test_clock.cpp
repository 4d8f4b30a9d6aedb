// The frame clock, presentation, the scrolling background, the state machine.
#include <allegro.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <chrono>
#include <thread>
#include <utility>

#include "core/clock.h"
#include "input/keys.h"
#include "core/state.h"
#include "display/screen.h"
#include "core/resources.h"
#include "display/window.h"
#include "app/startup.h"
#include "app/state_machine.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/notices.h"
#include "field/rise.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "render/effects.h"
#include "store/scores.h"
#include "support/test_env.h"

namespace {

class clock_and_states : public ::testing::Test {
protected:
  void SetUp() override { reset_game(); }
};

TEST_F(clock_and_states, the_timer_callback_counts_milliseconds_past_32_bits) {
  timer = 0xFFFFFFFFll;
  update_timer();
  EXPECT_EQ(timer.load(), 0x100000000ll);
}

TEST_F(clock_and_states, wait_frame_sleeps_until_20_milliseconds_have_passed) {
  timer = 1000;
  start_time = 1000;
  wait_frame();
  EXPECT_EQ(timer.load(), 1020);
  EXPECT_EQ(slept_ms, 20);
  // A frame whose work already took 20 ms or more does not sleep at all.
  start_time = 1100;
  timer = 1125;
  slept_ms = 0;
  wait_frame();
  EXPECT_EQ(slept_ms, 0);
}

// A sleep may come back early (a signal, a lagging timer thread): the wait
// must sleep again rather than end the frame short.
static int short_sleeps = 0;
static void sleep_one_ms_whatever_asked(unsigned int) {
  short_sleeps++;
  timer += 1;
}

TEST_F(clock_and_states, wait_frame_sleeps_again_when_a_sleep_ends_early) {
  void (*saved)(unsigned int) = sleep_ms;
  sleep_ms = sleep_one_ms_whatever_asked;
  short_sleeps = 0;
  timer = 500;
  start_time = 497;  // the frame's work took 3 ms
  wait_frame();
  sleep_ms = saved;
  EXPECT_EQ(timer.load(), 517);
  EXPECT_EQ(short_sleeps, 17);
}

// The game's own sleep, against a thread that ticks the timer as Allegro's
// does: it comes back only once the timer has moved on by what was asked.
TEST_F(clock_and_states, sleep_on_timer_returns_only_after_the_timer_has_moved_on) {
  std::atomic<bool> ticking{true};
  std::thread ticker([&] {
    while (ticking) {
      std::this_thread::sleep_for(std::chrono::microseconds(1000));
      update_timer();
    }
  });
  for (unsigned int ms : {1u, 2u, 7u}) {
    const std::int64_t before = timer.load();
    sleep_on_timer(ms);
    EXPECT_GE(timer.load(), before + ms) << ms << " ms";
  }
  ticking = false;
  ticker.join();
  // A stopped timer cannot hold the game: the sleep gives up after its bounded naps.
  sleep_on_timer(1);
}

TEST_F(clock_and_states, a_close_request_is_never_replaced_by_another_state) {
  game_state = STATE_TITLE;
  set_state(STATE_GAME);
  EXPECT_EQ(game_state.load(), STATE_GAME);
  quit_game();
  EXPECT_EQ(game_state.load(), STATE_QUIT);
  set_state(STATE_OPTIONS);
  EXPECT_EQ(game_state.load(), STATE_QUIT);
}

TEST_F(clock_and_states, a_quit_chosen_in_a_menu_can_still_be_overruled_in_the_same_frame) {
  game_state = STATE_TITLE;
  set_state(STATE_QUIT);  // Esc on the title...
  set_state(STATE_GAME);  // ...and fire on START in the same frame: the choice stands
  EXPECT_EQ(game_state.load(), STATE_GAME);
}

TEST_F(clock_and_states, the_close_button_wins_over_a_key_in_the_same_frame) {
  menu m;
  game_state = STATE_TITLE;
  enter_title(m);
  loop_num = 40;
  press_key(KEY_SPACE);  // START
  quit_game();
  title_frame(m);
  EXPECT_EQ(game_state.load(), STATE_QUIT);
}

TEST_F(clock_and_states, the_background_rises_one_pixel_every_two_counts_and_repeats) {
  const int xs[] = {0, 100, 196, 197, 250, 319};
  const int ys[] = {0, 1, 42, 119, 196, 197, 239};
  for (int scroll : {0, 1, 2, 3, 77, 392, 393, 394, 395, 1000}) {
    scroll_t = scroll;
    clear_to_color(buffer, makecol(0, 0, 0));
    draw_background();
    for (int x : xs)
      for (int y : ys)
        ASSERT_EQ(pixel_at(buffer, x, y), background_pixel(x, y, scroll))
            << "scroll_t " << scroll << " at " << x << "," << y;
  }
  // One rise step is exactly one pixel.
  scroll_t = 10;
  draw_background();
  const std::uint32_t before = pixel_at(buffer, 50, 101);
  scroll_t = 12;
  draw_background();
  EXPECT_EQ(pixel_at(buffer, 50, 100), before);
}

// A background with see-through pixels still lets the picture beneath show.
TEST_F(clock_and_states, the_background_is_drawn_masked_where_it_has_magenta) {
  BITMAP *saved = background;
  BITMAP *holed = create_bitmap(197, 197);
  ASSERT_NE(holed, nullptr);
  blit(saved, holed, 0, 0, 0, 0, 197, 197);
  vline(holed, 0, 30, 39, makecol(255, 0, 255));  // a hole in the first column only
  background = holed;
  scroll_t = 20;  // risen 10 pixels: the hole shows on rows 20 to 29
  clear_to_color(buffer, makecol(1, 2, 3));
  draw_background();
  background = saved;
  EXPECT_EQ(pixel_at(buffer, 0, 25), rgb(1, 2, 3));
  EXPECT_EQ(pixel_at(buffer, 197, 25), rgb(1, 2, 3));
  EXPECT_EQ(pixel_at(buffer, 0, 35), background_pixel(0, 45, 0));
  EXPECT_EQ(pixel_at(buffer, 40, 25), background_pixel(40, 25, 20));
  EXPECT_EQ(pixel_at(buffer, 197 + 40, 25), background_pixel(197 + 40, 25, 20));
  destroy_bitmap(holed);
  // Back on the opaque picture, every pixel is the background's again.
  clear_to_color(buffer, makecol(1, 2, 3));
  draw_background();
  EXPECT_EQ(pixel_at(buffer, 0, 25), background_pixel(0, 25, 20));
}

// A tile larger than the pitch overlaps its neighbours: later tiles cover
// earlier ones, as with masked drawing.
TEST_F(clock_and_states, a_background_larger_than_the_pitch_is_drawn_whole) {
  BITMAP *saved = background;
  BITMAP *large = create_bitmap(230, 215);
  ASSERT_NE(large, nullptr);
  for (int y = 0; y < large->h; y++)
    for (int x = 0; x < large->w; x++) putpixel(large, x, y, makecol(x, y, (x + y) & 255));
  background = large;
  for (int scroll : {0, 101}) {
    scroll_t = scroll;
    clear_to_color(buffer, makecol(0, 0, 0));
    draw_background();
    for (int x : {5, 196, 200, 220, 229, 300})
      for (int y : {3, 150, 199, 210, 239}) {
        ASSERT_EQ(pixel_at(buffer, x, y), background_pixel(x, y, scroll)) << x << "," << y;
      }
  }
  background = saved;
  destroy_bitmap(large);
}

void fill_pattern() {
  for (int y = 0; y < 240; y++)
    for (int x = 0; x < 320; x++) putpixel(buffer, x, y, makecol(x & 255, y, (x * 7 + y) & 255));
}

TEST_F(clock_and_states, present_buffer_copies_one_to_one_at_the_small_size) {
  fill_pattern();
  scrn_size = 0;
  present_buffer();
  for (int y : {0, 1, 120, 239})
    for (int x : {0, 1, 160, 319}) EXPECT_EQ(pixel_at(screen, x, y), pixel_at(buffer, x, y));
  EXPECT_EQ(pixel_at(screen, 320, 0), rgb(0, 0, 0));  // nothing beyond 320x240
}

TEST_F(clock_and_states, present_buffer_stretches_to_640x480_at_the_large_size) {
  fill_pattern();
  scrn_size = 1;
  present_buffer();
  for (int y : {0, 1, 120, 239})
    for (int x : {0, 1, 160, 319}) {
      const std::uint32_t p = pixel_at(buffer, x, y);
      EXPECT_EQ(pixel_at(screen, 2 * x, 2 * y), p);
      EXPECT_EQ(pixel_at(screen, 2 * x + 1, 2 * y + 1), p);
    }
  // Every pixel of the window is its source pixel, all four copies of it.
  int wrong = 0;
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) wrong += pixel_at(screen, x, y) != pixel_at(buffer, x / 2, y / 2);
  EXPECT_EQ(wrong, 0);
  // A window not yet at its new size gets the same picture, cut at its edge.
  BITMAP *window = screen;
  screen = create_bitmap(640, 400);
  present_buffer();
  for (int y = 0; y < 400; y++)
    for (int x = 0; x < 640; x++) wrong += pixel_at(screen, x, y) != pixel_at(buffer, x / 2, y / 2);
  destroy_bitmap(screen);
  screen = window;
  EXPECT_EQ(wrong, 0);
}

// Full screen: the largest whole factor that fits the monitor, centred; in
// a window 1:1 or doubled from the corner whatever the screen's size.
TEST_F(clock_and_states, full_screen_scales_by_the_largest_whole_factor_and_centres) {
  const struct {
    int w, h, factor, x, y;
  } monitors[] = {{1920, 1080, 4, 320, 60}, {3840, 2160, 9, 480, 0}, {2560, 1440, 6, 320, 0},
                  {1366, 768, 3, 203, 24},  {1280, 1024, 4, 0, 32},  {640, 480, 2, 0, 0},
                  {320, 240, 1, 0, 0},      {300, 200, 1, 0, 0}};
  for (const auto &m : monitors) {
    const picture_place at = place_picture(m.w, m.h, true);
    EXPECT_EQ(at.factor, m.factor) << m.w << "x" << m.h;
    EXPECT_EQ(at.x, m.x) << m.w << "x" << m.h;
    EXPECT_EQ(at.y, m.y) << m.w << "x" << m.h;
  }
  for (int size : {0, 1}) {
    scrn_size = size;
    const picture_place at = place_picture(1920, 1080, false);
    EXPECT_EQ(at.factor, 1 + size);
    EXPECT_EQ(at.x + at.y, 0);
  }
  // Every pixel of the monitor: the picture's own in its squares, and
  // nothing written around them, up to each edge of the screen.
  fill_pattern();
  BITMAP *window = screen;
  for (auto [w, h] : {std::pair{1920, 1080}, {1366, 768}}) {
    screen = create_bitmap(w, h);
    clear_to_color(screen, makecol(1, 2, 3));
    fullscreen = true;
    present_buffer();
    const picture_place at = place_picture(w, h, true);
    int wrong = 0;
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        const int px = x - at.x, py = y - at.y;
        const bool inside = px >= 0 && py >= 0 && px < 320 * at.factor && py < 240 * at.factor;
        wrong += pixel_at(screen, x, y) != (inside ? pixel_at(buffer, px / at.factor, py / at.factor) : rgb(1, 2, 3));
      }
    EXPECT_EQ(wrong, 0) << w << "x" << h;
    destroy_bitmap(screen);
  }
  screen = window;
}

// F11 and Alt+Enter switch at any frame, once per press; F11 is a player's
// key while an action is bound to it or the controls screen waits for one.
TEST_F(clock_and_states, f11_and_alt_enter_switch_once_a_press_unless_f11_is_taken) {
  static int asked;
  asked = 0;
  request_fullscreen = [] { return ++asked > 0; };
  const auto frame_with = [](std::initializer_list<int> keys) {
    release_all_keys();
    for (int k : keys) press_key(k);
    present_buffer();
  };
  frame_with({});
  frame_with({KEY_F11});
  EXPECT_TRUE(fullscreen);
  frame_with({KEY_F11});
  EXPECT_TRUE(fullscreen) << "a held F11 switched again";
  frame_with({KEY_ALT, KEY_ENTER});
  EXPECT_FALSE(fullscreen);
  EXPECT_EQ(asked, 1);
  frame_with({});
  b_f = KEY_F11;
  frame_with({KEY_F11});
  EXPECT_FALSE(fullscreen) << "F11 is the fire key now";
  b_f = KEY_SPACE;
  b_u = KEY_W;  // keys of their own elsewhere, before or after F11, leave it to the game
  b_p = KEY_PGDN;
  frame_with({});
  frame_with({KEY_F11});
  EXPECT_TRUE(fullscreen);
  frame_with({});
  frame_with({KEY_F11});
  EXPECT_FALSE(fullscreen);
  frame_with({});
  game_state = STATE_CONTROLS;
  frame_with({KEY_F11});
  EXPECT_FALSE(fullscreen) << "the controls screen takes F11 as a key";
  frame_with({KEY_ALTGR, KEY_ENTER});
  EXPECT_TRUE(fullscreen);
  // The browser's own ways: its Esc leaves, the page's button enters; a
  // change the game already made is not made again.
  static int outside;
  fullscreen_from_outside = [] { return std::exchange(outside, 0); };
  const int asked_before = asked;
  for (const auto &[change, after] : {std::pair{1, true}, {-1, false}, {-1, false}, {1, true}}) {
    outside = change;
    frame_with({});
    EXPECT_EQ(fullscreen, after) << change;
  }
  EXPECT_EQ(asked, asked_before + 1) << "full screen asked for while already in it";
  // Back to a window that the display refuses at both sizes: nothing to
  // show on, so the game quits, saving as ever.
  request_window = [](int, int) { return false; };
  game_state = STATE_TITLE;
  frame_with({});
  testing::internal::CaptureStderr();
  frame_with({KEY_F11});
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot open a 320x240"), std::string::npos);
  EXPECT_TRUE(window_lost);
  EXPECT_EQ(game_state.load(), STATE_QUIT);
  reset_game();
  // A refused full screen leaves the window as it was, and the game going.
  game_state = STATE_TITLE;
  request_fullscreen = [] { return false; };
  frame_with({});
  frame_with({KEY_F11});
  EXPECT_FALSE(fullscreen);
  EXPECT_FALSE(window_lost);
  EXPECT_EQ(game_state.load(), STATE_TITLE);
}

// The top-level pass runs the blocks in a fixed order: a state set by an
// earlier block runs in the same pass, one set by a later block waits.
TEST_F(clock_and_states, the_sound_entry_opens_the_options_in_the_same_pass) {
  menu m;
  game_state = STATE_SOUND;
  press_key(KEY_ESC);  // leaves the options after their 51 deaf frames
  EXPECT_FALSE(run_pass(m));
  EXPECT_EQ(game_state.load(), STATE_TITLE);
  EXPECT_EQ(scroll_t, 52);  // the options ran frames 0 to 51
  EXPECT_EQ(loop_num, 0);   // every pass resets it before the game block
}

TEST_F(clock_and_states, a_state_set_by_a_later_block_runs_on_the_next_pass) {
  menu m;
  game_state = STATE_DIFFICULTY;
  mode = 3;
  score = 5000;  // left from an earlier game: not a best of the new difficulty
  press_key(KEY_ESC);  // the difficulty menu obeys Esc in its first frame
  EXPECT_FALSE(run_pass(m));
  EXPECT_EQ(game_state.load(), STATE_OPTIONS);
  EXPECT_EQ(scroll_t, 1);
  EXPECT_EQ(highscore_h, 2000);
}

TEST_F(clock_and_states, splash_title_and_quit_run_in_one_pass_and_write_both_files) {
  temp_folder folder;
  menu m;
  game_state = STATE_SPLASH;
  press_key(KEY_ESC);  // skips the splash at once, quits the title after frame 50
  EXPECT_TRUE(run_pass(m));
  EXPECT_EQ(scroll_t, 1 + 52);
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "2 0 1 84 85 82 83 75 28");
  EXPECT_EQ(read_text(folder.file("KV scores.dat")), "2000 2000 2000");
  for (BITMAP *b : {buffer, credit_bar, n_block, background}) EXPECT_EQ(b, nullptr);
  for (BITMAP *const *set : {block, pow_up, blast, fireball})
    for (int i = 0; i < (set == pow_up ? 3 : 4); i++) EXPECT_EQ(set[i], nullptr);
  EXPECT_EQ(reg_txt, nullptr);
  EXPECT_EQ(lrg_txt, nullptr);
  EXPECT_EQ(exit_status(), 0);
  reload_resources();
}

// Start-up once the library is up: a saved 640x480 that the display refuses
// opens at 320x240, so the settings saved at quit hold 0; with neither size
// the game cannot start, and says which size it asked for last.
TEST_F(clock_and_states, a_saved_640x480_window_that_the_display_refuses_opens_at_320x240) {
  temp_folder folder;
  for (const char *item : {"KV IMAGE", "krove_sfont.bmp", "krove_lfont.pcx"})
    std::filesystem::create_symlink(std::string(KV_DATA_DIR) + "/" + item, folder.file(item));
  write_text(folder.file("KV settings.dat"), "3 1 0 84 85 82 83 75 28");
  write_text(folder.file("KV scores.dat"), "1 2 3");
  menu m;
  request_window = [](int w, int) { return w == 320; };
  // Each saved difficulty plays at its own pace after a restart; a value out
  // of range keeps Normal's.
  for (auto [saved, divisor] : {std::pair{"1", 20}, {"2", 18}, {"3", 14}, {"7", 18}}) {
    reset_game();
    request_window = [](int w, int) { return w == 320; };
    spd = 0;
    write_text(folder.file("KV settings.dat"), std::string(saved) + " 1 0 84 85 82 83 75 28");
    release_resources();
    EXPECT_TRUE(load_game(m));
    EXPECT_EQ(spd, divisor) << "saved difficulty " << saved;
  }
  write_text(folder.file("KV settings.dat"), "3 1 0 84 85 82 83 75 28");
  release_resources();
  notice_score = nullptr, notice_powerup = nullptr, notice_level_up = nullptr;
  EXPECT_TRUE(load_game(m));
  score_msg.clear();
  colour_shot(cell(tx, ty));  // start-up has tied the field to its effects: the shot's score shows
  EXPECT_EQ(score_msg.size(), 1u);
  EXPECT_TRUE(notice_powerup && notice_level_up);
  EXPECT_EQ(scrn_size, 0);
  EXPECT_EQ(mode, 3);
  EXPECT_EQ(highscore_h, 3);
  quit_sequence(m);
  EXPECT_EQ(read_text(folder.file("KV settings.dat")), "3 0 0 84 85 82 83 75 28");
  request_window = [](int, int) { return false; };
  testing::internal::CaptureStderr();
  EXPECT_FALSE(load_game(m));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.rfind("krove-vestin: cannot open a 320x240 32-bit window", 0), 0u) << said;
  EXPECT_EQ(exit_status(), 1);
  release_resources();
  reload_resources();
}

// One option: --fullscreen; anything else is named and refused.
TEST_F(clock_and_states, the_command_line_takes_fullscreen_answers_help_and_version_and_names_the_rest) {
  char name[] = "krove-vestin", full[] = "--fullscreen", other[] = "--full", help[] = "--help",
       version[] = "--version";
  char *alone[] = {name, nullptr}, *asked[] = {name, full, nullptr}, *wrong[] = {name, full, other, nullptr};
  EXPECT_EQ(read_options(1, alone), command_line::play);
  EXPECT_FALSE(fullscreen_at_start);
  EXPECT_EQ(read_options(2, asked), command_line::play);
  EXPECT_TRUE(fullscreen_at_start);
  testing::internal::CaptureStderr();
  EXPECT_EQ(read_options(3, wrong), command_line::not_understood);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "krove-vestin: unknown option \"--full\" (krove-vestin --help lists the options)\n");
  const struct {
    char *option;
    const char *starts;
  } questions[] = {{help, "Usage: krove-vestin [--fullscreen]\n"}, {version, "krove-vestin 1."}};
  char late[] = "--zoom";  // after every known option in the alphabet too
  for (const auto &q : questions)
    for (char *unknown : {other, late}) {
      char *line[] = {name, unknown, q.option, nullptr};  // read from the left: the unknown one stops it
      testing::internal::CaptureStderr();
      EXPECT_EQ(run_program(3, line), 2) << unknown;
      EXPECT_NE(testing::internal::GetCapturedStderr().find(unknown), std::string::npos);
      char *first[] = {name, q.option, unknown, nullptr};
      testing::internal::CaptureStdout();
      EXPECT_EQ(run_program(3, first), 0) << q.option;
      EXPECT_EQ(testing::internal::GetCapturedStdout().rfind(q.starts, 0), 0u) << q.option;
    }
}

// A game from the top-level pass: its frames until Esc, the game-over
// banner, the table (which takes the new best) and back to the title.
TEST_F(clock_and_states, a_game_runs_into_the_table_and_back_to_the_title_in_one_pass) {
  menu m;
  game_state = STATE_GAME;
  mode = 2;
  int game_frames = 0;
  on_frame_wait = [&] {
    if (game_state == STATE_GAME && loop_num > 0) game_frames++;
    if (game_state == STATE_GAME && loop_num == 40) {
      score = 4321;
      press_key(KEY_ESC);
    }
  };
  EXPECT_FALSE(run_pass(m));
  EXPECT_EQ(game_state.load(), STATE_TITLE);
  EXPECT_EQ(game_frames, 40 + 26);  // then the frame that saw Esc runs the banner's 26 band frames
  EXPECT_EQ(loop_num, 1);  // the table's one frame: Esc leaves it at once
  EXPECT_EQ(highscore_n, 4321);
  EXPECT_EQ(highscore_e, 2000);
  EXPECT_GE(slept_ms, 40 * 20 + 2 * 1000);  // the level and game-over banners hold a second each
}

}  // namespace
