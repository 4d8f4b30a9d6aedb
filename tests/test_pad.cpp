// Pads read as keys: which bound keys a pad's buttons and sticks hold.
#include <allegro.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/keys.h"
#include "core/pad.h"
#include "core/state.h"
#include "support/test_env.h"

namespace {

class pads : public ::testing::Test {
protected:
  // One pad: twelve buttons, a stick and a hat, all at rest.
  void SetUp() override {
    reset_game();
    game_state = STATE_GAME;
    num_joysticks = 1;
    joy[0].num_buttons = 12;
    joy[0].num_sticks = 2;
    for (JOYSTICK_STICK_INFO &s : joy[0].stick) s.num_axis = 2;
    for (JOYSTICK_BUTTON_INFO &b : joy[0].button) b.b = 0;
    for (JOYSTICK_STICK_INFO &s : joy[0].stick) s.axis[0].pos = s.axis[1].pos = 0;
    pad_layouts[0] = layout;
  }
  void TearDown() override { reset_game(); }
  // Buttons 0-7: south, east, start, select, d-pad up, down, left, right;
  // stick 0 the left stick, stick 1 the hat.
  const pad_layout layout = {0, 1, 2, 3, 4, 5, 6, 7, {1, 0}, {1, 1}, {0, 0}, {0, 1}};

  static std::vector<int> keys_down() {
    std::vector<int> down;
    for (int sc = 0; sc < KEY_MAX; sc++)
      if (key[sc]) down.push_back(sc);
    return down;
  }
};

TEST_F(pads, each_control_holds_its_bound_key_and_the_controls_screen_takes_only_esc) {
  const auto button = [](int b) { return [b] { joy[0].button[b].b = 1; }; };
  const auto axis = [](int s, int a, int pos) { return [=] { joy[0].stick[s].axis[a].pos = pos; }; };
  const struct {
    std::function<void()> hold;
    int state;
    std::vector<int> keys;
  } cases[] = {
      {[] {}, STATE_GAME, {}},
      {button(0), STATE_GAME, {KEY_SPACE}},
      {button(1), STATE_GAME, {KEY_ESC}},
      {button(2), STATE_GAME, {KEY_1}},
      {button(3), STATE_TITLE, {KEY_ESC}},
      {button(4), STATE_GAME, {KEY_UP}},
      {button(5), STATE_GAME, {KEY_DOWN}},
      {button(6), STATE_GAME, {KEY_LEFT}},
      {button(7), STATE_GAME, {KEY_RIGHT}},
      {button(11), STATE_GAME, {}},
      {button(12), STATE_GAME, {}},  // beyond the pad's buttons
      {axis(1, 0, -128), STATE_GAME, {KEY_LEFT}},
      {axis(1, 1, 128), STATE_GAME, {KEY_DOWN}},
      {axis(0, 1, -64), STATE_GAME, {KEY_UP}},  // past half the stick's travel
      {axis(0, 1, -63), STATE_GAME, {}},
      {axis(0, 0, 64), STATE_GAME, {KEY_RIGHT}},
      {axis(0, 0, 63), STATE_GAME, {}},
      {axis(2, 0, 128), STATE_GAME, {}},  // beyond the pad's sticks
      {button(0), STATE_CONTROLS, {}},
      {axis(0, 1, 127), STATE_CONTROLS, {}},
      {button(1), STATE_CONTROLS, {KEY_ESC}},
  };
  for (const auto &c : cases) {
    SetUp();
    game_state = c.state;
    c.hold();
    hold_pad_keys();
    EXPECT_EQ(keys_down(), c.keys) << "case " << &c - cases;
  }
}

TEST_F(pads, the_pad_holds_rebound_keys_and_lets_go_of_the_old_ones) {
  joy[0].button[0].b = 1;
  hold_pad_keys();
  b_f = KEY_J;
  hold_pad_keys();
  EXPECT_EQ(keys_down(), std::vector<int>{KEY_J});
  b_f = 200;  // outside the key table: nothing to hold
  hold_pad_keys();
  EXPECT_EQ(keys_down(), std::vector<int>{});
}

// The pad lets go only of what it pressed, and holds its keys again when
// the keyboard's driver let them go (a switch of window).
TEST_F(pads, the_pad_lets_go_only_of_its_own_keys_and_holds_them_through_the_keyboard) {
  press_key(KEY_SPACE);
  joy[0].button[0].b = joy[0].button[2].b = 1;
  hold_pad_keys();
  release_key(KEY_1);
  hold_pad_keys();
  EXPECT_EQ(keys_down(), (std::vector<int>{KEY_1, KEY_SPACE}));
  joy[0].button[0].b = joy[0].button[2].b = 0;
  hold_pad_keys();
  EXPECT_EQ(keys_down(), std::vector<int>{KEY_SPACE});
  num_joysticks = 0;  // all pads gone
  joy[0].button[0].b = 1;
  hold_pad_keys();
  EXPECT_EQ(keys_down(), std::vector<int>{KEY_SPACE});
}

int looks = 0, reads = 0;
bool pad_there = true;

// Looked for at start and then every 50 frames, read every frame: a pad
// plugged in plays within two seconds, a pad gone is noticed at once.
TEST_F(pads, pads_are_looked_for_every_50_frames_and_read_every_frame) {
  looks = reads = 0;
  look_for_pads = [] { looks++; };
  read_pad_devices = [] { return reads++, pad_there; };
  start_pads();
  EXPECT_EQ(looks, 1);
  joy[0].button[0].b = 1;
  for (int frame = 1; frame <= 100; frame++) {
    pad_there = frame != 70;
    poll_pads();
    EXPECT_EQ(looks, 1 + frame / 50) << "frame " << frame;
    EXPECT_EQ(pad_lost, frame >= 70) << "frame " << frame;
  }
  EXPECT_EQ(reads, 100);
  EXPECT_EQ(keys_down(), std::vector<int>{KEY_SPACE});
}

}  // namespace
