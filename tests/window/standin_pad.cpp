// A stand-in for the kernel's joystick devices, preloaded into the game by
// the window tests: /dev/input/js0 and js1 open the named pipes js0 and js1
// of $KV_STANDIN_PADS, which the test writes js_event records to. js0 is an
// Xbox pad as the kernel's xpad reports it (its d-pad a hat, axes 6 and 7),
// js1 a pad with a stick and four buttons. Removing a pipe pulls its pad
// out: its ioctls fail with ENODEV from then on, as joydev's do.
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const unsigned char axes[2][9] = {{8, ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ, ABS_HAT0X, ABS_HAT0Y},
                                  {2, ABS_X, ABS_Y}};  // the count first
const unsigned short buttons[2][12] = {
    {11, BTN_A, BTN_B, BTN_X, BTN_Y, BTN_TL, BTN_TR, BTN_SELECT, BTN_START, BTN_MODE, BTN_THUMBL, BTN_THUMBR},
    {4, BTN_SOUTH, BTN_EAST, BTN_SELECT, BTN_START}};

struct standin {
  char node[512];
  ino_t inode;
  int model;
} pads[1024];  // by file descriptor; node empty for any other file

template <typename F>
F real(const char *name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int open(const char *path, int flags, ...) {
  static const auto open_real = real<int (*)(const char *, int, ...)>("open");
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
  va_end(args);
  const char *dir = std::getenv("KV_STANDIN_PADS");
  if (!dir || (std::strcmp(path, "/dev/input/js0") != 0 && std::strcmp(path, "/dev/input/js1") != 0))
    return open_real(path, flags, mode);
  standin p = {{}, 0, path[13] - '0'};
  std::snprintf(p.node, sizeof p.node, "%s/%s", dir, path + 11);
  const int fd = open_real(p.node, flags, mode);
  struct stat st;
  if (fd < 0 || fd >= 1024 || fstat(fd, &st) != 0) return fd;
  p.inode = st.st_ino;
  pads[fd] = p;
  return fd;
}

extern "C" int close(int fd) {
  static const auto close_real = real<int (*)(int)>("close");
  if (fd >= 0 && fd < 1024) pads[fd].node[0] = 0;
  return close_real(fd);
}

extern "C" int ioctl(int fd, unsigned long request, ...) {
  static const auto ioctl_real = real<int (*)(int, unsigned long, void *)>("ioctl");
  va_list args;
  va_start(args, request);
  void *arg = va_arg(args, void *);
  va_end(args);
  if (fd < 0 || fd >= 1024 || !pads[fd].node[0]) return ioctl_real(fd, request, arg);
  const standin &p = pads[fd];
  struct stat st;
  if (stat(p.node, &st) != 0 || st.st_ino != p.inode) return errno = ENODEV, -1;
  const int nr = _IOC_TYPE(request) == 'j' ? _IOC_NR(request) : 0;
  if (nr == _IOC_NR(JSIOCGAXMAP) || nr == _IOC_NR(JSIOCGBTNMAP)) std::memset(arg, 0, _IOC_SIZE(request));
  if (nr == _IOC_NR(JSIOCGVERSION)) *static_cast<unsigned *>(arg) = JS_VERSION;
  else if (nr == _IOC_NR(JSIOCGAXES)) *static_cast<unsigned char *>(arg) = axes[p.model][0];
  else if (nr == _IOC_NR(JSIOCGBUTTONS)) *static_cast<unsigned char *>(arg) = buttons[p.model][0];
  else if (nr == _IOC_NR(JSIOCGAXMAP)) std::memcpy(arg, axes[p.model] + 1, axes[p.model][0]);
  else if (nr == _IOC_NR(JSIOCGBTNMAP)) std::memcpy(arg, buttons[p.model] + 1, 2 * buttons[p.model][0]);
  else return errno = ENOTTY, -1;
  return 0;
}
