// Where a pad's controls are on Linux, from its driver's maps.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <vector>

#include "input/pad.h"

namespace {

// The library's Linux driver pairs the axes into sticks, the last axis and
// the configured throttle alone, and keeps 15 axes in 5 sticks and 32
// buttons. (The window tests play an Xbox pad's maps.)
TEST(pad_maps, the_driver_maps_give_each_control_its_button_or_stick) {
  std::vector<unsigned char> many_axes(17, ABS_MISC);
  many_axes[0] = ABS_X, many_axes[1] = ABS_Y, many_axes[10] = ABS_HAT0X, many_axes[16] = ABS_HAT0Y;
  std::vector<unsigned short> many_buttons(33, BTN_TRIGGER_HAPPY);
  many_buttons[1] = BTN_EAST, many_buttons[32] = BTN_SOUTH;
  const struct {
    std::vector<unsigned char> axes;
    std::vector<unsigned short> buttons;
    int throttle;
    pad_layout want;
  } cases[] = {
      {{ABS_X, ABS_Y},
       {BTN_0, BTN_SOUTH, BTN_EAST, BTN_START, BTN_DPAD_UP, BTN_DPAD_DOWN, BTN_DPAD_LEFT, BTN_DPAD_RIGHT, BTN_SELECT},
       -1,
       {1, 2, 3, 8, 4, 5, 6, 7, {}, {}, {0, 0}, {0, 1}}},
      {{ABS_X, ABS_Y, ABS_HAT0X}, {BTN_TRIGGER, BTN_0}, -1, {0, -1, -1, -1, -1, -1, -1, -1, {1, 0}, {}, {0, 0}, {0, 1}}},
      {{ABS_X, ABS_Y, ABS_HAT0X, ABS_HAT0Y}, {}, 2, {-1, -1, -1, -1, -1, -1, -1, -1, {1, 0}, {2, 0}, {0, 0}, {0, 1}}},
      {many_axes, many_buttons, -1, {-1, 1, -1, -1, -1, -1, -1, -1, {}, {}, {0, 0}, {0, 1}}},
  };
  const auto flat = [](const pad_layout &l) {
    return std::vector<int>{l.south, l.east, l.start, l.select, l.up, l.down, l.left, l.right,
                            l.hat_x.stick, l.hat_x.axis, l.hat_y.stick, l.hat_y.axis,
                            l.stick_x.stick, l.stick_x.axis, l.stick_y.stick, l.stick_y.axis};
  };
  for (const auto &c : cases)
    EXPECT_EQ(flat(layout_from_maps(static_cast<int>(c.axes.size()), c.axes.data(),
                                    static_cast<int>(c.buttons.size()), c.buttons.data(), c.throttle)),
              flat(c.want))
        << "case " << &c - cases;
}

}  // namespace
