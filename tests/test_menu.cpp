// Key repeat and the menus' model: selection, wrap, the deaf frames, the marker.
#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "core/clock.h"
#include "platform/desktop.h"
#include "core/state.h"
#include "core/resources.h"
#include "app/state_machine.h"
#include "field/grid.h"
#include "field/rise.h"
#include "input/keys.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "support/test_env.h"

namespace {

class menus : public ::testing::Test {
protected:
  menu m;
  void SetUp() override { reset_game(); }
};

TEST_F(menus, a_key_held_for_50_frames_acts_7_times) {
  bool latch = false;
  int phase = 8;
  press_key(KEY_UP);
  std::vector<int> fired;
  for (loop_num = 5; loop_num < 55; loop_num++)
    if (poll_repeat_key(KEY_UP, latch, phase)) fired.push_back(loop_num - 5);
  EXPECT_EQ(fired, (std::vector<int>{0, 8, 16, 24, 32, 40, 48}));
}

TEST_F(menus, a_new_press_acts_at_once_whatever_the_phase_was) {
  bool latch = false;
  int phase = 8;
  press_key(KEY_DOWN);
  loop_num = 0;
  EXPECT_TRUE(poll_repeat_key(KEY_DOWN, latch, phase));
  loop_num = 1;
  EXPECT_FALSE(poll_repeat_key(KEY_DOWN, latch, phase));
  release_key(KEY_DOWN);
  loop_num = 2;
  EXPECT_FALSE(poll_repeat_key(KEY_DOWN, latch, phase));
  EXPECT_EQ(phase, 8);
  EXPECT_FALSE(latch);
  press_key(KEY_DOWN);
  loop_num = 3;
  EXPECT_TRUE(poll_repeat_key(KEY_DOWN, latch, phase));
  EXPECT_EQ(phase, 3);
}

TEST_F(menus, a_binding_outside_the_key_table_reads_as_up) {
  bool latch = false;
  int phase = 8;
  EXPECT_FALSE(poll_repeat_key(127, latch, phase));
  EXPECT_FALSE(poll_repeat_key(-1, latch, phase));
  EXPECT_FALSE(key_down_now(5000));
}

// After the window is re-made, the keys the game still holds down but the
// keyboard does not are let go; a held one stays, and a keycode the library
// has no key for is passed over.
TEST_F(menus, only_keys_the_keyboard_does_not_hold_are_let_go) {
  char keymap[32] = {};
  int to_scancode[256];
  std::fill(std::begin(to_scancode), std::end(to_scancode), -1);
  to_scancode[38] = KEY_A;  // the first scancode of all
  to_scancode[111] = KEY_UP;
  to_scancode[116] = KEY_DOWN;
  keymap[111 / 8] |= 1 << (111 % 8);  // up is held, and so is an unknown key
  keymap[200 / 8] |= 1 << (200 % 8);
  press_key(KEY_A);
  press_key(KEY_UP);
  press_key(KEY_DOWN);
  press_key(KEY_SPACE);
  EXPECT_EQ(keys_not_held(keymap, to_scancode, key), (std::vector<int>{KEY_A, KEY_SPACE, KEY_DOWN}));
  keymap[38 / 8] |= 1 << (38 % 8);
  EXPECT_EQ(keys_not_held(keymap, to_scancode, key), (std::vector<int>{KEY_SPACE, KEY_DOWN}));
}

TEST_F(menus, up_and_down_held_together_cancel) {
  enter_title(m);
  ty = 1;
  press_key(KEY_UP);
  press_key(KEY_DOWN);
  for (int k = 0; k < 20; k++) {
    title_frame(m);
    EXPECT_EQ(ty, 1);
  }
}

TEST_F(menus, the_selection_wraps_at_both_ends) {
  enter_title(m);
  press_key(KEY_UP);
  title_frame(m);
  EXPECT_EQ(ty, 2);
  release_all_keys();
  title_frame(m);
  press_key(KEY_DOWN);
  title_frame(m);
  EXPECT_EQ(ty, 0);
  enter_options(m);
  ty = 4;
  release_all_keys();
  options_frame(m);
  press_key(KEY_DOWN);
  options_frame(m);
  EXPECT_EQ(ty, 0);
}

TEST_F(menus, fire_is_ignored_until_frame_31) {
  game_state = STATE_TITLE;
  enter_title(m);
  press_key(KEY_SPACE);
  run_title(m);
  EXPECT_EQ(game_state.load(), STATE_GAME);
  EXPECT_EQ(loop_num, 32);  // frames 0 to 31 ran
}

TEST_F(menus, esc_is_ignored_until_frame_51_on_the_title_and_the_options) {
  game_state = STATE_TITLE;
  enter_title(m);
  press_key(KEY_ESC);
  run_title(m);
  EXPECT_EQ(game_state.load(), STATE_QUIT);
  EXPECT_EQ(loop_num, 52);
  game_state = STATE_OPTIONS;
  enter_options(m);
  run_options(m);
  EXPECT_EQ(game_state.load(), STATE_TITLE);
  EXPECT_EQ(loop_num, 52);
}

TEST_F(menus, esc_acts_at_once_on_the_difficulty_and_game_over_screens) {
  game_state = STATE_DIFFICULTY;
  mode = 3;
  spd = 18;
  enter_difficulty(m);
  press_key(KEY_ESC);
  run_difficulty(m);
  EXPECT_EQ(game_state.load(), STATE_OPTIONS);
  EXPECT_EQ(loop_num, 1);
  EXPECT_EQ(mode, 3);
  EXPECT_EQ(spd, 18);
  game_state = STATE_GAME_OVER;
  enter_game_over(m);
  run_game_over(m);
  EXPECT_EQ(game_state.load(), STATE_TITLE);
  EXPECT_EQ(loop_num, 1);
}

TEST_F(menus, esc_and_fire_together_the_choice_stands) {
  game_state = STATE_TITLE;
  enter_title(m);
  loop_num = 60;
  press_key(KEY_ESC);
  press_key(KEY_SPACE);
  title_frame(m);
  EXPECT_EQ(game_state.load(), STATE_GAME);
}

TEST_F(menus, options_back_and_options_again_opens_on_the_first_entry) {
  game_state = STATE_TITLE;
  enter_title(m);
  ty = 1;
  loop_num = 31;
  press_key(KEY_SPACE);
  title_frame(m);  // OPTIONS
  EXPECT_EQ(game_state.load(), STATE_OPTIONS);
  EXPECT_EQ(ty, 0);
  enter_options(m);
  ty = 4;  // BACK
  loop_num = 31;
  options_frame(m);
  EXPECT_EQ(game_state.load(), STATE_TITLE);
  enter_title(m);
  ty = 1;
  loop_num = 31;
  title_frame(m);
  enter_options(m);
  EXPECT_EQ(ty, 0);
}

TEST_F(menus, the_sound_entry_comes_back_to_the_options_with_its_marker) {
  game_state = STATE_OPTIONS;
  enter_options(m);
  ty = 0;
  loop_num = 31;
  press_key(KEY_SPACE);
  options_frame(m);
  EXPECT_EQ(game_state.load(), STATE_SOUND);
  release_all_keys();
  // The next pass turns -2 into 1 and re-enters the options; Esc after
  // their 51 deaf frames ends the pass on the title.
  int frames = 0;
  on_frame_wait = [&] {
    if (++frames == 10) press_key(KEY_ESC);
    EXPECT_EQ(ty, 0);
  };
  EXPECT_FALSE(run_pass(m));
  EXPECT_EQ(game_state.load(), STATE_TITLE);
  EXPECT_EQ(frames, 52);
}

TEST_F(menus, fire_on_an_options_entry_leaves_for_its_screen) {
  for (int entry : {2, 3}) {
    reset_game();
    game_state = STATE_OPTIONS;
    enter_options(m);
    ty = entry;
    press_key(KEY_SPACE);
    run_options(m);
    EXPECT_EQ(game_state.load(), m.entries[entry].value);
    EXPECT_EQ(loop_num, 32);
  }
}

TEST_F(menus, the_difficulty_marker_starts_on_the_current_difficulty) {
  const int want[] = {2, 0, 1, 2, 2};
  for (int md = 0; md <= 4; md++) {
    mode = md;
    enter_difficulty(m);
    EXPECT_EQ(tx, want[md]) << "mode " << md;
  }
  press_key(KEY_DOWN);  // and moves from there
  difficulty_frame(m);
  EXPECT_EQ(tx, 0);
}

TEST_F(menus, choosing_a_difficulty_sets_mode_and_divisor_together) {
  const int divisor[] = {20, 18, 14};
  for (int choice = 0; choice < 3; choice++) {
    reset_game();
    game_state = STATE_DIFFICULTY;
    mode = 2;
    enter_difficulty(m);
    tx = choice;
    loop_num = 31;
    press_key(KEY_SPACE);
    difficulty_frame(m);
    EXPECT_EQ(mode, choice + 1);
    EXPECT_EQ(spd, divisor[choice]);
    EXPECT_EQ(game_state.load(), STATE_OPTIONS);
  }
}

TEST_F(menus, the_marker_cycles_its_four_pictures_beside_the_selected_entry) {
  enter_options(m);
  ty = 2;
  for (int frame : {0, 4, 5, 7, 10, 15, 20, 26}) {
    loop_num = frame;
    clear_to_color(buffer, makecol(0, 0, 0));
    options_frame(m);  // the options screen as presented
    BITMAP *pic = fireball[(frame / 5) % 4];
    for (int j = 0; j < pic->h; j++)
      for (int i = 0; i < pic->w; i++) {
        const std::uint32_t p = pixel_at(pic, i, j);
        if (p != 0xFF00FFu) {
          ASSERT_EQ(pixel_at(screen, 110 + i, 130 + j), p) << frame;
        }
      }
  }
  // Labels start at x 130, one every 15 rows; no marker on the other entries.
  BITMAP *want = create_bitmap(320, 240);
  clear_to_color(want, makecol(0, 0, 0));
  textprintf_centre_ex(want, lrg_txt, 160, 50, makecol(255, 255, 255), -1, "OPTIONS");
  for (int i = 0; i < 5; i++)
    textprintf_ex(want, reg_txt, 130, 100 + 15 * i, makecol(255, 255, 255), -1, "%s", m.entries[i].label);
  for (int y = 0; y < 240; y++)
    for (int x = 128; x < 320; x++) ASSERT_EQ(pixel_at(screen, x, y), pixel_at(want, x, y)) << x << "," << y;
  for (int y = 100; y < 175; y++) {
    if (y >= 130 && y < 145) continue;
    for (int x = 100; x < 128; x++) ASSERT_EQ(pixel_at(screen, x, y), 0u);
  }
  destroy_bitmap(want);
}

}  // namespace
