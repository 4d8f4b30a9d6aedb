#include "pad_feed.h"

#include <X11/keysym.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

std::vector<std::string> standin_pad_env(const std::string &dir) {
  return {"LD_PRELOAD=" KV_STANDIN_PAD, "KV_STANDIN_PADS=" + dir};
}

const pad_model xbox_pad = {
    {ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ, ABS_HAT0X, ABS_HAT0Y},
    {BTN_A, BTN_B, BTN_X, BTN_Y, BTN_TL, BTN_TR, BTN_SELECT, BTN_START, BTN_MODE, BTN_THUMBL, BTN_THUMBR},
    0, 1, 7, 6, 7};
const pad_model stick_pad = {{ABS_X, ABS_Y}, {BTN_SOUTH, BTN_EAST, BTN_SELECT, BTN_START}, 0, 1, 3, 0, 1};

test_pad::~test_pad() { pull_out_pad(*this); }

bool plug_pad(test_pad &pad, const std::string &dir, int number, const pad_model &model) {
  pad.node = dir + "/js" + std::to_string(number);
  pad.model = model;
  std::ofstream map(pad.node + ".map");
  for (const std::vector<int> *codes : {&model.axes, &model.buttons}) {
    for (size_t i = 0; i < codes->size(); i++) map << (i ? " " : "") << (*codes)[i];
    map << "\n";
  }
  map.close();
  // Read and write: opening never waits for the game, and the game sees no
  // end of the pipe while the pad is plugged in.
  if (!map || mkfifo(pad.node.c_str(), 0600) != 0) return false;
  pad.fd = open(pad.node.c_str(), O_RDWR | O_NONBLOCK);
  return pad.fd >= 0;
}

void pull_out_pad(test_pad &pad) {
  if (pad.fd < 0) return;
  unlink(pad.node.c_str());
  close(pad.fd);
  pad.fd = -1;
}

static bool send_event(test_pad &pad, unsigned char type, int number, int value) {
  js_event e{static_cast<__u32>(now_ms()), static_cast<__s16>(value), type, static_cast<__u8>(number)};
  return pad.fd >= 0 && write(pad.fd, &e, sizeof e) == sizeof e;
}

bool send_axis(test_pad &pad, int axis, int value) { return send_event(pad, JS_EVENT_AXIS, axis, value); }

bool send_button(test_pad &pad, int button, bool down) {
  return send_event(pad, JS_EVENT_BUTTON, button, down);
}

bool pad_keys::grab(rgb_image &image) { return s.window && grab_window(s.server, s.window, image); }

bool pad_keys::press(unsigned long keysym, bool down) {
  const pad_model &m = pad.model;
  const int full = down ? 32767 : 0;
  switch (keysym) {
    case XK_space: return send_button(pad, m.a, down);
    case XK_Escape: return send_button(pad, m.b, down);
    case XK_1: return send_button(pad, m.start, down);
    case XK_Up: return send_axis(pad, m.y_axis, -full);
    case XK_Down: return send_axis(pad, m.y_axis, full);
    case XK_Left: return send_axis(pad, m.x_axis, -full);
    case XK_Right: return send_axis(pad, m.x_axis, full);
  }
  return false;
}
