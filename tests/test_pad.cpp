// Pads read as keys: which bound keys a pad's buttons and sticks hold.
#include <allegro.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/state.h"
#include "input/keys.h"
#include "input/pad.h"
#include "support/test_env.h"

namespace {

// One pad at rest: buttons 0-7 south, east, start, select, d-pad up, down,
// left, right (of 12); stick 0 the left stick, stick 1 the hat.
void rest_one_pad() {
  reset_game();
  game_state = STATE_GAME;
  num_joysticks = 1;
  joy[0] = {};
  joy[0].num_buttons = 12;
  joy[0].num_sticks = 2;
  for (JOYSTICK_STICK_INFO &s : joy[0].stick) s.num_axis = 2;
  pad_layouts[0] = {0, 1, 2, 3, 4, 5, 6, 7, {1, 0}, {1, 1}, {0, 0}, {0, 1}};
}

std::vector<int> keys_down() {
  std::vector<int> down;
  for (int sc = 0; sc < KEY_MAX; sc++)
    if (key[sc]) down.push_back(sc);
  return down;
}

TEST(pads, each_control_holds_its_bound_key_but_on_the_controls_screen_only_esc) {
  const auto button = [](int b) { return [b] { joy[0].button[b].b = 1; }; };
  const auto axis = [](int s, int a, int pos) { return [=] { joy[0].stick[s].axis[a].pos = pos; }; };
  const struct {
    std::function<void()> hold;
    std::vector<int> keys;
  } cases[] = {
      {[] {}, {}},
      {button(0), {KEY_SPACE}},
      {button(1), {KEY_ESC}},
      {button(2), {KEY_1}},
      {button(3), {KEY_ESC}},
      {button(4), {KEY_UP}},
      {button(5), {KEY_DOWN}},
      {button(6), {KEY_LEFT}},
      {button(7), {KEY_RIGHT}},
      {button(11), {}},
      {[] { joy[0].button[7].b = 1, joy[0].num_buttons = 7; }, {}},  // beyond the pad's buttons
      {[] { joy[0].button[7].b = 1, joy[0].num_buttons = 6; }, {}},
      {[] { joy[0].button[0].b = 1, b_f = KEY_J; }, {KEY_J}},
      {[] { joy[0].button[0].b = 1, b_f = KEY_TABLE_SIZE; }, {}},  // a binding outside the key table
      {axis(1, 0, -128), {KEY_LEFT}},
      {axis(1, 1, 128), {KEY_DOWN}},
      {axis(0, 1, -64), {KEY_UP}},  // past half the stick's travel
      {axis(0, 0, 64), {KEY_RIGHT}},
      {axis(0, 1, -63), {}},
      {axis(0, 1, 63), {}},
      {axis(0, 0, -63), {}},
      {axis(0, 0, 63), {}},
      {[] { joy[0].stick[1].axis[0].pos = -128, joy[0].num_sticks = 1; }, {}},  // beyond the pad's sticks
      {[] { joy[0].stick[1].axis[0].pos = -128, joy[0].num_sticks = 0; }, {}},
      {[] { joy[0].stick[1].axis[1].pos = 128, joy[0].stick[1].num_axis = 1; }, {}},
      {[] { joy[0].button[0].b = joy[0].button[1].b = 1, game_state = STATE_CONTROLS; }, {KEY_ESC}},
      {[] { joy[0].stick[0].axis[1].pos = 127, game_state = STATE_CONTROLS; }, {}},
  };
  for (const auto &c : cases) {
    rest_one_pad();
    c.hold();
    hold_pad_keys();
    EXPECT_EQ(keys_down(), c.keys) << "case " << &c - cases;
  }
  reset_game();
}

// A pad lets go only of what it pressed: not of a key the keyboard holds;
// it holds its keys again when the keyboard's driver let them go (a
// switch of window), and lets go of the old key of a changed binding.
TEST(pads, the_pad_lets_go_only_of_its_own_keys_and_holds_them_through_the_keyboard) {
  rest_one_pad();
  press_key(KEY_SPACE);
  joy[0].button[0].b = joy[0].button[2].b = 1;
  hold_pad_keys();
  release_key(KEY_1);
  hold_pad_keys();
  EXPECT_EQ(keys_down(), (std::vector<int>{KEY_1, KEY_SPACE}));
  b_p = KEY_P;
  hold_pad_keys();
  EXPECT_EQ(keys_down(), (std::vector<int>{KEY_P, KEY_SPACE}));
  num_joysticks = 0;  // every pad gone
  hold_pad_keys();
  EXPECT_EQ(keys_down(), std::vector<int>{KEY_SPACE});
  reset_game();
}

// About once a second, whatever the frame it starts at.
TEST(pads, pads_are_looked_for_every_50th_frame) {
  for (int frame = 0; frame < 50 && !time_to_look(); frame++) {
  }
  std::vector<int> looks;
  for (int frame = 1; frame <= 100; frame++)
    if (time_to_look()) looks.push_back(frame);
  EXPECT_EQ(looks, (std::vector<int>{50, 100}));
}

}  // namespace
