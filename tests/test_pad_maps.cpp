// Where the controls of a pad are on Linux, from its driver's maps.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <utility>
#include <vector>

#include "core/pad.h"

namespace {

// The kernel's maps as its drivers report them, and where the library's
// Linux driver puts each axis: in pairs, but the last axis and the
// configured throttle alone.
TEST(pad_maps, the_driver_maps_give_each_control_its_button_or_stick) {
  const std::vector<unsigned short> xpad = {BTN_A,      BTN_B,     BTN_X,    BTN_Y,
                                            BTN_TL,     BTN_TR,    BTN_SELECT, BTN_START,
                                            BTN_MODE,   BTN_THUMBL, BTN_THUMBR};
  const std::vector<unsigned short> dpad_buttons = {BTN_SOUTH,     BTN_EAST,      BTN_START,
                                                    BTN_DPAD_UP,   BTN_DPAD_DOWN, BTN_DPAD_LEFT,
                                                    BTN_DPAD_RIGHT, BTN_SELECT};
  const std::vector<unsigned short> joystick = {BTN_TRIGGER, BTN_THUMB, BTN_THUMB2, BTN_TOP};
  const std::vector<unsigned char> six = {ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ, ABS_HAT0X, ABS_HAT0Y};
  const std::vector<unsigned char> three = {ABS_X, ABS_Y, ABS_HAT0X};
  // The library keeps 15 axes in 5 sticks and 32 buttons.
  std::vector<unsigned char> many_axes(17, ABS_MISC);
  many_axes[0] = ABS_X, many_axes[1] = ABS_Y, many_axes[15] = ABS_HAT0X, many_axes[16] = ABS_HAT0Y;
  std::vector<unsigned short> many_buttons(33, BTN_TRIGGER_HAPPY);
  many_buttons[1] = BTN_EAST, many_buttons[32] = BTN_SOUTH;
  const struct {
    std::vector<unsigned char> axes;
    std::vector<unsigned short> buttons;
    int throttle;
    pad_layout want;
  } cases[] = {
      {six, xpad, -1, {0, 1, 7, 6, -1, -1, -1, -1, {3, 0}, {3, 1}, {0, 0}, {0, 1}}},
      {{ABS_X, ABS_Y}, dpad_buttons, -1, {0, 1, 2, 7, 3, 4, 5, 6, {}, {}, {0, 0}, {0, 1}}},
      {three, joystick, -1, {0, -1, -1, -1, -1, -1, -1, -1, {1, 0}, {}, {0, 0}, {0, 1}}},
      {three, {}, 0, {-1, -1, -1, -1, -1, -1, -1, -1, {1, 1}, {}, {0, 0}, {1, 0}}},
      {many_axes, many_buttons, -1, {-1, 1, -1, -1, -1, -1, -1, -1, {}, {}, {0, 0}, {0, 1}}},
  };
  for (const auto &c : cases) {
    const pad_layout l = layout_from_maps(static_cast<int>(c.axes.size()), c.axes.data(),
                                          static_cast<int>(c.buttons.size()), c.buttons.data(), c.throttle);
    const pad_layout &w = c.want;
    const int at = static_cast<int>(&c - cases);
    EXPECT_EQ((std::vector<int>{l.south, l.east, l.start, l.select, l.up, l.down, l.left, l.right}),
              (std::vector<int>{w.south, w.east, w.start, w.select, w.up, w.down, w.left, w.right}))
        << "case " << at;
    for (const auto &[got, want] : {std::pair{l.hat_x, w.hat_x}, {l.hat_y, w.hat_y}, {l.stick_x, w.stick_x},
                                    {l.stick_y, w.stick_y}})
      EXPECT_TRUE(got.stick == want.stick && (got.stick < 0 || got.axis == want.axis)) << "case " << at;
  }
}

}  // namespace
