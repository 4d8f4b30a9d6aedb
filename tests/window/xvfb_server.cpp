// A private Xvfb per test, so no test sees another's windows or keys.
#include "xharness.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int first_display = 90;
const int last_display = 140;
const int start_timeout_ms = 5000;
const int wm_ready_timeout_ms = 60000;

int x_error_count = 0;

// Xlib's default handler exits the process; a window that vanished between
// two calls is normal here, so just count it.
int count_x_error(Display *, XErrorEvent *) {
  ++x_error_count;
  return 0;
}

std::string lock_path(int n) { return "/tmp/.X" + std::to_string(n) + "-lock"; }

bool display_looks_taken(int n) {
  struct stat st;
  const std::string lock = lock_path(n);
  const std::string sock = "/tmp/.X11-unix/X" + std::to_string(n);
  return stat(lock.c_str(), &st) == 0 || stat(sock.c_str(), &st) == 0;
}

// A child that dies with the runner even if the runner is killed (a test
// timeout), so no server is left behind, and whose chatter goes nowhere.
// Returns in the child (pid 0) and in the runner.
pid_t fork_quiet_child() {
  const pid_t runner = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != runner) _exit(127);
  int null_fd = open("/dev/null", O_RDWR);
  if (null_fd >= 0) {
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    dup2(null_fd, 2);
  }
  return 0;
}

pid_t spawn_xvfb(const std::string &name, const char *screen) {
  const pid_t pid = fork_quiet_child();
  if (pid != 0) return pid;
  execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
         "-noreset", static_cast<char *>(nullptr));
  _exit(127);
}

// The lock file holds the pid of the Xvfb that won the number.
bool lock_held_by(int n, pid_t pid) {
  FILE *f = std::fopen(lock_path(n).c_str(), "r");
  if (!f) return false;
  long owner = -1;
  bool read = std::fscanf(f, "%ld", &owner) == 1;
  std::fclose(f);
  return read && owner == static_cast<long>(pid);
}

bool reap_now(pid_t pid) {
  int status;
  return waitpid(pid, &status, WNOHANG) == pid;
}

void end_process(pid_t pid) {
  kill(pid, SIGTERM);
  bool gone = poll_until([&] { return reap_now(pid); }, 2000, 5);
  if (!gone) {
    kill(pid, SIGKILL);
    int status;
    waitpid(pid, &status, 0);
  }
}

// Waits for our server to answer: false if it died (then reaped is set) or
// never answered. Connects only once the lock names our Xvfb: a rival
// Xvfb for the same number may answer briefly before it finds the lock
// taken and dies, and Xlib would take the test runner down with it.
bool connect_to(xvfb_server &server, bool &reaped) {
  reaped = false;
  poll_until(
      [&] {
        if (reap_now(server.pid)) return reaped = true;
        if (!lock_held_by(server.number, server.pid)) return false;
        server.display = XOpenDisplay(server.name.c_str());
        return server.display != nullptr;
      },
      start_timeout_ms, 10);
  return server.display != nullptr;
}

// Runners of this harness take turns at choosing a number and starting
// their server, so they never race each other for one.
int take_start_turn() {
  int fd = open("/tmp/kv-xharness-start.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0) flock(fd, LOCK_EX);
  return fd;  // the turn ends when it is closed
}

// True once the window manager has framed a window of ours: only then does
// it place, focus and decorate the game's. Its first start on a machine can
// spend many seconds building the font cache before it frames anything.
// False at once if it ended (not installed, say).
bool window_manager_frames(Display *dpy, pid_t &wm_pid) {
  const Window probe = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
  XMapWindow(dpy, probe);
  XSync(dpy, False);
  const bool framed = poll_until(
      [&] {
        if (reap_now(wm_pid)) return wm_pid = -1, true;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, probe, &root, &parent, &children, &count)) return false;
        if (children) XFree(children);
        return parent != root;
      },
      wm_ready_timeout_ms, 10);
  XDestroyWindow(dpy, probe);
  XSync(dpy, False);
  return framed && wm_pid > 0;
}

// The window manager of $KV_WINDOW_MANAGER on the server; false when it did
// not take the screen and frame a window in time.
bool start_window_manager(xvfb_server &server, bool asked) {
  const char *wm = std::getenv("KV_WINDOW_MANAGER");
  if (!wm || !*wm) wm = asked ? "openbox" : nullptr;
  if (!wm) return true;
  server.wm_pid = fork_quiet_child();
  if (server.wm_pid < 0) return false;
  if (server.wm_pid == 0) {
    setenv("DISPLAY", server.name.c_str(), 1);
    execlp(wm, wm, static_cast<char *>(nullptr));
    _exit(127);
  }
  return window_manager_frames(server.display, server.wm_pid);
}

}  // namespace

bool start_xvfb(xvfb_server &server, const char *screen, bool window_manager) {
  XSetErrorHandler(count_x_error);
  const int turn = take_start_turn();
  bool started = false;
  for (int n = first_display; n <= last_display; ++n) {
    if (display_looks_taken(n)) continue;
    server.number = n;
    server.name = ":" + std::to_string(n);
    server.pid = spawn_xvfb(server.name, screen ? screen : "1024x768x24");
    if (server.pid < 0) break;
    bool reaped = false;
    if ((started = connect_to(server, reaped))) break;
    // Lost a race for this number, or Xvfb would not start: try the next.
    if (!reaped) end_process(server.pid);
    server.pid = -1;
  }
  if (turn >= 0) close(turn);
  if (started && start_window_manager(server, window_manager)) return true;
  if (started) stop_xvfb(server);
  server.number = -1;
  server.name.clear();
  return false;
}

void stop_xvfb(xvfb_server &server) {
  // Wine's desktop process lives on the server it started on: each test's
  // server gets a Wine of its own.
  if (server.pid > 0 && testing_windows_game()) end_wine_session();
  if (server.display) XCloseDisplay(server.display);
  server.display = nullptr;
  if (server.wm_pid > 0) end_process(server.wm_pid);
  server.wm_pid = -1;
  server.other_window = 0;
  if (server.pid > 0) end_process(server.pid);
  server.pid = -1;
}

xvfb_server::~xvfb_server() { stop_xvfb(*this); }

int take_x_error_count() {
  int n = x_error_count;
  x_error_count = 0;
  return n;
}
