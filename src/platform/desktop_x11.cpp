#include "platform/desktop.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <allegro/platform/aintunix.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <xalleg.h>

#include "window_icon.xpm.h"

extern "C" void *allegro_icon;  // the library's window icon, an XPM

std::atomic<bool> focus_lost{false};

// Allegro's X thread, started by allegro_init, wakes every millisecond and
// every ten reads the window's events (keys too) and sends the picture; a
// thousand wake-ups a second cost more than drawing a menu. Born with a
// timer slack of 4 ms it wakes a few hundred times; more slack delays keys
// on screen: at 9 ms p95 key-to-screen was 2.9-5 ms over no slack; at 4 ms
// mean and p95 were at most 0.5 and 1.0 ms over it, the thread's CPU
// 0.8-1.2 % against 1.7-1.9 % (bench/measure-latency.sh). The timer thread and the
// frame wait, started later, keep the usual slack and their precision.
#ifndef KV_X_TIMER_SLACK_US  // the measurement build may try another
#define KV_X_TIMER_SLACK_US 4000
#endif
int start_library() {
  const int usual = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  prctl(PR_SET_TIMERSLACK, KV_X_TIMER_SLACK_US * 1000UL, 0, 0, 0);  // 0: back to the usual
  const int result = allegro_init();
  if (usual > 0) prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(usual), 0, 0, 0);
  return result;
}

// Without a display Allegro finds no system driver at all, and says nothing.
void explain_no_display(char *what, std::size_t size) {
  const char *display = std::getenv("DISPLAY");
  if (display && *display)
    std::snprintf(what, size, "no connection to the X display \"%s\"", display);
  else
    std::snprintf(what, size, "no X display (DISPLAY is not set)");
}

static void on_focus_lost() { focus_lost.store(true); }

void name_window() {
  allegro_icon = const_cast<char **>(krove_vestin);
  xwin_set_window_name("krove-vestin", "krove-vestin");
}

void title_window() {
  set_window_title("Krove Vestin");
  set_display_switch_callback(SWITCH_OUT, on_focus_lost);
}

// A keycode the library has no key for maps to -1.
std::vector<int> keys_not_held(const char (&keymap)[32], const int (&to_scancode)[256],
                               const volatile char *keys) {
  bool held[KEY_MAX] = {};
  for (int code = 0; code < 256; code++) {
    const int sc = to_scancode[code];
    if ((keymap[code / 8] >> (code % 8)) & 1 && sc > 0 && sc < KEY_MAX) held[sc] = true;
  }
  std::vector<int> loose;
  for (int sc = 1; sc < KEY_MAX; sc++)
    if (keys[sc] && !held[sc]) loose.push_back(sc);
  return loose;
}

// A key let go while the window is being re-made sends its release to
// another window, and would stay down for the game.
void window_opened() {
  if (!_xwin.display) return;
  XLOCK();
  char keymap[32] = {};
  XQueryKeymap(_xwin.display, keymap);
  for (int sc : keys_not_held(keymap, _xwin.keycode_to_scancode, key)) _handle_key_release(sc);
  XUNLOCK();
}

// EWMH: a window manager that knows the full-screen state lists it here.
static bool desktop_knows_fullscreen(Display *dpy) {
  const Atom supported = XInternAtom(dpy, "_NET_SUPPORTED", False);
  const Atom wanted = XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False);
  Atom type;
  int format;
  unsigned long count = 0, after;
  unsigned char *data = nullptr;
  bool knows = false;
  if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), supported, 0, 4096, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success && data && format == 32) {
    const Atom *atoms = reinterpret_cast<const Atom *>(data);
    for (unsigned long i = 0; i < count && !knows; i++) knows = atoms[i] == wanted;
  }
  if (data) XFree(data);
  return knows;
}

// The monitor holding the window's centre (RandR 1.5), else the whole screen.
static void monitor_of_window(Display *dpy, int &x, int &y, int &w, int &h) {
  x = y = 0;
  w = DisplayWidth(dpy, DefaultScreen(dpy));
  h = DisplayHeight(dpy, DefaultScreen(dpy));
  int event_base, error_base, major = 0, minor = 0;
  // Asked only of a server that has the request: any X error ends the game.
  if (!XRRQueryExtension(dpy, &event_base, &error_base) || !XRRQueryVersion(dpy, &major, &minor) ||
      (major == 1 && minor < 5))
    return;
  int cx = 0, cy = 0, count = 0;
  Window child;
  XWindowAttributes attr;
  if (XGetWindowAttributes(dpy, _xwin.window, &attr))
    XTranslateCoordinates(dpy, _xwin.window, DefaultRootWindow(dpy), attr.width / 2, attr.height / 2, &cx, &cy,
                          &child);
  XRRMonitorInfo *monitors = XRRGetMonitors(dpy, DefaultRootWindow(dpy), True, &count);
  for (int i = 0; i < count; i++) {
    const XRRMonitorInfo &m = monitors[i];
    if (i == 0 || (cx >= m.x && cx < m.x + m.width && cy >= m.y && cy < m.y + m.height))
      x = m.x, y = m.y, w = m.width, h = m.height;
  }
  if (monitors) XRRFreeMonitors(monitors);
}

// _NET_WM_STATE, as an application asks: add (1) or remove (0) full screen.
// The window manager manages the library's outer window; the picture is in
// a window inside it.
static void ask_fullscreen_state(Display *dpy, bool on) {
  XEvent ask{};
  ask.xclient.type = ClientMessage;
  ask.xclient.window = _xwin.wm_window;
  ask.xclient.message_type = XInternAtom(dpy, "_NET_WM_STATE", False);
  ask.xclient.format = 32;
  ask.xclient.data.l[0] = on ? 1 : 0;
  ask.xclient.data.l[1] = static_cast<long>(XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False));
  ask.xclient.data.l[3] = 1;  // from an application
  XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ask);
  XFlush(dpy);
}

// The library's own window at the monitor's size, made full screen by the
// window manager: the desktop's request, not the library's full-screen
// driver, which would change the monitor's mode. The pointer stays hidden,
// as the library hides it over its window.
bool open_fullscreen_window() {
  if (!_xwin.display || !_xwin.window) return false;
  int x, y, w, h;
  XLOCK();
  const bool knows = desktop_knows_fullscreen(_xwin.display);
  if (knows) monitor_of_window(_xwin.display, x, y, w, h);
  XUNLOCK();
  if (!knows || set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, 0) != 0) return false;
  XLOCK();
  // The library pins the window's size (the least and the most the same);
  // a window manager may refuse full screen to a window that cannot be
  // resized. The next window size pins it again.
  XSizeHints *hints = XAllocSizeHints();
  long given = 0;
  if (hints && XGetWMNormalHints(_xwin.display, _xwin.wm_window, hints, &given)) {
    hints->flags &= ~(PMinSize | PMaxSize);
    XSetWMNormalHints(_xwin.display, _xwin.wm_window, hints);
  }
  if (hints) XFree(hints);
  XMoveWindow(_xwin.display, _xwin.wm_window, x, y);  // onto the monitor it measured
  ask_fullscreen_state(_xwin.display, true);
  XUNLOCK();
  return true;
}

void leave_fullscreen_window() {
  if (!_xwin.display || !_xwin.window) return;
  XLOCK();
  ask_fullscreen_state(_xwin.display, false);
  XUNLOCK();
}

// The top-left of the window's frame (the window itself without a window
// manager); moving the window there puts the frame back where it was.
static bool place_kept = false;
static int kept_x = 0, kept_y = 0;

void keep_window_place() {
  if (!_xwin.display || !_xwin.window) return;
  XLOCK();
  Window top = _xwin.window, root, parent, *children = nullptr;
  unsigned int count;
  while (XQueryTree(_xwin.display, top, &root, &parent, &children, &count) && parent != root) {
    if (children) XFree(children);
    children = nullptr;
    top = parent;
  }
  if (children) XFree(children);
  Window child;
  place_kept = XTranslateCoordinates(_xwin.display, top, DefaultRootWindow(_xwin.display), 0, 0, &kept_x,
                                     &kept_y, &child);
  XUNLOCK();
}

void restore_window_place() {
  if (!place_kept || !_xwin.display || !_xwin.window) return;
  XLOCK();
  XMoveWindow(_xwin.display, _xwin.wm_window, kept_x, kept_y);
  XFlush(_xwin.display);
  XUNLOCK();
  place_kept = false;
}

// The window manager's own ways out of full screen (a key of its own) are
// not followed: the game's keys switch.
int fullscreen_changed_outside() { return 0; }
