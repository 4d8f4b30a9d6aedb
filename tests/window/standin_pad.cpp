// A stand-in for Linux joystick devices, preloaded into the game by the
// window tests (LD_PRELOAD): /dev/input/jsN is DIR/jsN of $KV_STANDIN_PADS,
// a named pipe the test writes struct js_event records to. The pad is
// plugged in while that pipe exists; its axis and button codes are the two
// lines of DIR/jsN.map. As the kernel's joydev does, a device pulled out
// (the pipe removed) answers its reads and ioctls with ENODEV.
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct standin {
  std::atomic<bool> used{false};
  char node[512] = {};
  ino_t inode = 0;
  unsigned char axes = 0, buttons = 0, axmap[ABS_CNT] = {};
  unsigned short btnmap[KEY_MAX - BTN_MISC + 1] = {};
};
standin pads[1024];  // by file descriptor

template <typename F>
F real(const char *name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// "/dev/input/jsN" as DIR/jsN; false for any other path.
bool node_of(const char *path, char (&node)[512]) {
  const char *dir = std::getenv("KV_STANDIN_PADS");
  if (!dir || !path || std::strncmp(path, "/dev/input/js", 13) != 0) return false;
  std::snprintf(node, sizeof node, "%s/%s", dir, path + 11);
  return true;
}

template <typename T>
unsigned char read_codes(FILE *f, T *codes, int most) {
  int count = 0, c;
  while (count < most && std::fscanf(f, "%d", &c) == 1) {
    codes[count++] = static_cast<T>(c);
    if (std::fgetc(f) == '\n') break;
  }
  return static_cast<unsigned char>(count);
}

int open_standin(const char *path, int flags, mode_t mode, const char *real_name) {
  char node[512];
  const auto open_real = real<int (*)(const char *, int, ...)>(real_name);
  if (!node_of(path, node)) return open_real(path, flags, mode);
  const int fd = open_real(node, flags, mode);
  struct stat st;
  if (fd < 0 || fd >= 1024 || fstat(fd, &st) != 0) return fd;
  standin &p = pads[fd];
  std::snprintf(p.node, sizeof p.node, "%s", node);
  p.inode = st.st_ino;
  std::snprintf(node + std::strlen(node), sizeof node - std::strlen(node), ".map");
  if (FILE *map = std::fopen(node, "r")) {
    p.axes = read_codes(map, p.axmap, ABS_CNT);
    p.buttons = read_codes(map, p.btnmap, KEY_MAX - BTN_MISC + 1);
    std::fclose(map);
  }
  p.used = true;
  return fd;
}

standin *standin_of(int fd) { return fd >= 0 && fd < 1024 && pads[fd].used ? &pads[fd] : nullptr; }

bool pulled_out(const standin &p) {
  struct stat st;
  return stat(p.node, &st) != 0 || st.st_ino != p.inode;
}

}  // namespace

extern "C" {

// The library may be built to call either.
#define STANDIN_OPEN(name)                                              \
  int name(const char *path, int flags, ...) {                          \
    va_list args;                                                       \
    va_start(args, flags);                                              \
    const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;   \
    va_end(args);                                                       \
    return open_standin(path, flags, mode, #name);                      \
  }
STANDIN_OPEN(open)
STANDIN_OPEN(open64)

int close(int fd) {
  static const auto close_real = real<int (*)(int)>("close");
  if (standin *p = standin_of(fd)) p->used = false;
  return close_real(fd);
}

// No writer yet reads as an empty device.
ssize_t read(int fd, void *to, size_t size) {
  static const auto read_real = real<ssize_t (*)(int, void *, size_t)>("read");
  const standin *p = standin_of(fd);
  if (p && pulled_out(*p)) return errno = ENODEV, -1;
  const ssize_t got = read_real(fd, to, size);
  if (p && got == 0) return errno = EAGAIN, -1;
  return got;
}

int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void *arg = va_arg(args, void *);
  va_end(args);
  static const auto ioctl_real = real<int (*)(int, unsigned long, void *)>("ioctl");
  const standin *p = standin_of(fd);
  if (!p) return ioctl_real(fd, request, arg);
  if (pulled_out(*p)) return errno = ENODEV, -1;
  const size_t size = _IOC_SIZE(request);
  switch (_IOC_TYPE(request) == 'j' ? _IOC_NR(request) : 0) {
    case _IOC_NR(JSIOCGVERSION): *static_cast<unsigned int *>(arg) = JS_VERSION; return 0;
    case _IOC_NR(JSIOCGAXES): *static_cast<unsigned char *>(arg) = p->axes; return 0;
    case _IOC_NR(JSIOCGBUTTONS): *static_cast<unsigned char *>(arg) = p->buttons; return 0;
    case _IOC_NR(JSIOCGAXMAP): std::memcpy(arg, p->axmap, std::min(size, sizeof p->axmap)); return 0;
    case _IOC_NR(JSIOCGBTNMAP): std::memcpy(arg, p->btnmap, std::min(size, sizeof p->btnmap)); return 0;
  }
  return errno = ENOTTY, -1;
}

}  // extern "C"
