// Pads on Linux: the library's joystick driver reads the joystick devices
// (/dev/input/jsN); the layout comes from each device's own maps.
#include "input/pad.h"

#define ALLEGRO_NO_KEY_DEFINES  // the kernel's KEY_MAX, not the library's
#include <allegro.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

// Where pad i is looked for: as the library looks, the device its
// configuration names ([joystick] joystick_device_i, or joystick_device for
// the first), else /dev/input/jsi.
static char where[MAX_PADS][256];
static bool where_noted = false;
// The pads found, in the library's order: where each is, and our own handle
// on it for its maps and to notice it gone (its ioctls fail from then on).
static int found = 0;
static int found_at[MAX_PADS];
static int found_fd[MAX_PADS];

static void note_where() {
  for (int i = 0; i < MAX_PADS; i++) {
    char name[32];
    std::snprintf(name, sizeof name, "joystick_device_%d", i);
    const char *named = get_config_string("joystick", name, nullptr);
    if (!named && i == 0) named = get_config_string("joystick", "joystick_device", nullptr);
    if (named)
      std::snprintf(where[i], sizeof where[i], "%s", named);
    else
      std::snprintf(where[i], sizeof where[i], "/dev/input/js%d", i);
    for (int k = 0; k < i; k++)
      if (std::strcmp(where[k], where[i]) == 0) where[i][0] = '\0';  // one device looked for once
  }
  where_noted = true;
}

// Pairs of axes make the library's sticks, in order; the last axis and the
// configured throttle stand alone.
pad_layout layout_from_maps(int axes, const unsigned char *axmap, int buttons,
                            const unsigned short *btnmap, int throttle) {
  pad_layout l;
  axes = std::min(axes, MAX_JOYSTICK_STICKS * MAX_JOYSTICK_AXIS);
  for (int s = 0, a = 0; s < MAX_JOYSTICK_STICKS && a < axes; s++) {
    const int width = a == throttle || a == axes - 1 ? 1 : 2;
    for (int k = 0; k < width; k++, a++) {
      const pad_axis place{s, k};
      if (axmap[a] == ABS_X) l.stick_x = place;
      if (axmap[a] == ABS_Y) l.stick_y = place;
      if (axmap[a] == ABS_HAT0X) l.hat_x = place;
      if (axmap[a] == ABS_HAT0Y) l.hat_y = place;
    }
  }
  int trigger = -1;
  for (int b = 0; b < std::min(buttons, MAX_JOYSTICK_BUTTONS); b++) {
    int *role = btnmap[b] == BTN_SOUTH       ? &l.south
                : btnmap[b] == BTN_EAST      ? &l.east
                : btnmap[b] == BTN_START     ? &l.start
                : btnmap[b] == BTN_SELECT    ? &l.select
                : btnmap[b] == BTN_DPAD_UP   ? &l.up
                : btnmap[b] == BTN_DPAD_DOWN ? &l.down
                : btnmap[b] == BTN_DPAD_LEFT ? &l.left
                : btnmap[b] == BTN_DPAD_RIGHT ? &l.right
                : btnmap[b] == BTN_TRIGGER   ? &trigger
                                             : nullptr;
    if (role) *role = b;
  }
  if (l.south < 0) l.south = trigger;  // a joystick without a gamepad's buttons fires with its trigger
  return l;
}

static pad_layout layout_of_device(int fd, int n) {
  unsigned char axes = 0, buttons = 0, axmap[ABS_CNT] = {};
  unsigned short btnmap[KEY_MAX - BTN_MISC + 1] = {};
  ioctl(fd, JSIOCGAXES, &axes);
  ioctl(fd, JSIOCGBUTTONS, &buttons);
  ioctl(fd, JSIOCGAXMAP, axmap);
  ioctl(fd, JSIOCGBTNMAP, btnmap);
  char name[32];
  std::snprintf(name, sizeof name, "throttle_axis_%d", n);
  int throttle = get_config_int("joystick", name, -1);
  if (throttle == -1) throttle = get_config_int("joystick", "throttle_axis", -1);
  return layout_from_maps(axes, axmap, buttons, btnmap, throttle);
}

// The library opens exactly the pads found, in order: left to itself it
// stops at the first number missing and could open one pad twice. The
// override lives in memory only; the library never writes it to a file.
static void install_found() {
  remove_joystick();
  char text[MAX_PADS * 300 + 64];
  int length = std::snprintf(text, sizeof text, "[joystick]\n");
  for (int n = 0; n < found; n++)
    length += std::snprintf(text + length, sizeof text - length, "joystick_device_%d = %s\n", n,
                            where[found_at[n]]);
  if (found < MAX_PADS)  // a path no file can have: the library's search ends there
    length += std::snprintf(text + length, sizeof text - length, "joystick_device_%d = /dev/null/none\n", found);
  override_config_data(text, length);
  if (found == 0 || install_joystick(JOY_TYPE_LINUX_ANALOGUE) != 0) return;
  for (int n = 0; n < num_joysticks; n++) pad_layouts[n] = layout_of_device(found_fd[n], n);
}

static bool is_found(int i) {
  return std::find(found_at, found_at + found, i) != found_at + found;
}

// A failed open is all a missing pad costs.
void find_pads() {
  if (!where_noted) note_where();
  const int before = found;
  for (int i = 0; i < MAX_PADS; i++) {
    if (is_found(i)) continue;
    const int fd = open(where[i], O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    unsigned int version = 0;
    if (ioctl(fd, JSIOCGVERSION, &version) < 0) {  // not a joystick device
      close(fd);
      continue;
    }
    found_at[found] = i;
    found_fd[found++] = fd;
  }
  if (found != before) install_found();
}

// A device pulled out answers every ioctl with ENODEV; the library's own
// reads of it just fail, so without this look its last state would stay.
bool read_pads() {
  if (found == 0) return true;
  poll_joystick();
  int kept = 0;
  for (int n = 0; n < found; n++) {
    unsigned int version = 0;
    if (ioctl(found_fd[n], JSIOCGVERSION, &version) < 0 && errno != EINTR) {
      close(found_fd[n]);
      continue;
    }
    found_at[kept] = found_at[n];
    found_fd[kept++] = found_fd[n];
  }
  if (kept == found) return true;
  found = kept;
  install_found();
  return false;
}
