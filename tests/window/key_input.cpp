// Real key presses through XTEST: they travel the same path as a keyboard's,
// through the server to whichever window has the focus.
#include "xharness.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

bool send_key(xvfb_server &server, unsigned long keysym, bool down) {
  Display *dpy = server.display;
  KeyCode code = XKeysymToKeycode(dpy, static_cast<KeySym>(keysym));
  if (code == 0) return false;
  if (!XTestFakeKeyEvent(dpy, code, down ? True : False, CurrentTime)) return false;
  XSync(dpy, False);  // the server has it before we go on timing the hold
  return true;
}


// A window manager gives the focus itself, when asked as a taskbar asks;
// Wine makes its window the active one only on that. Without one, the
// focus is simply set.
bool give_focus(xvfb_server &server, Window window) {
  Display *dpy = server.display;
  if (server.wm_pid > 0) {
    XEvent ask{};
    ask.xclient.type = ClientMessage;
    ask.xclient.window = window;
    ask.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    ask.xclient.format = 32;
    ask.xclient.data.l[0] = 2;  // from a pager or taskbar
    ask.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ask);
  } else {
    XSetInputFocus(dpy, window, RevertToPointerRoot, CurrentTime);
  }
  XSync(dpy, False);
  return poll_until(
      [&] {
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(dpy, &focused, &revert);
        return focused == window;
      },
      1000, 5);
}

}  // namespace

bool focus_window(xvfb_server &server, x_window window) {
  Display *dpy = server.display;
  XWindowAttributes attr;
  if (!XGetWindowAttributes(dpy, window, &attr) || attr.map_state != IsViewable) return false;
  // Pointer inside too: Allegro listens on a child window, and key events go
  // to the child under the pointer when the focus is its top-level window.
  XWarpPointer(dpy, None, window, 0, 0, 0, 0, attr.width / 2, attr.height / 2);
  if (!give_focus(server, window)) return false;
  // Wine makes its window the active one, and its keyboard listen again, a
  // moment after the X focus came: a key pressed before is never heard.
  if (testing_windows_game()) pause_ms(300);
  return true;
}

bool key_down(xvfb_server &server, unsigned long keysym) { return send_key(server, keysym, true); }

bool key_up(xvfb_server &server, unsigned long keysym) { return send_key(server, keysym, false); }

bool tap_key(xvfb_server &server, unsigned long keysym, int hold_ms) {
  if (!key_down(server, keysym)) return false;
  pause_ms(hold_ms);
  return key_up(server, keysym);
}

// Under a window manager, another program's window is the one to take the
// focus: a small window of the test's own, made once per server.
bool focus_elsewhere(xvfb_server &server) {
  Display *dpy = server.display;
  if (server.wm_pid <= 0) {
    XSetInputFocus(dpy, DefaultRootWindow(dpy), RevertToPointerRoot, CurrentTime);
    XSync(dpy, False);
    return true;
  }
  if (!server.other_window) {
    server.other_window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 700, 500, 100, 100, 0, 0, 0);
    XMapWindow(dpy, server.other_window);
    XSync(dpy, False);
    poll_until([&] {
      XWindowAttributes attr;
      return XGetWindowAttributes(dpy, server.other_window, &attr) && attr.map_state == IsViewable;
    }, 2000, 5);
  }
  return give_focus(server, server.other_window);
}

bool drag_window(xvfb_server &server, x_window window, int dx, int dy) {
  Display *dpy = server.display;
  const window_place from = get_window_place(server, window);
  const int x = from.x + 40, y = from.y - 8;  // on the title bar, above the picture
  XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  for (int step = 1; step <= 10; step++) {
    XTestFakeMotionEvent(dpy, -1, x + dx * step / 10, y + dy * step / 10, CurrentTime);
    XSync(dpy, False);
    pause_ms(10);
  }
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XSync(dpy, False);
  return poll_until(
      [&] {
        const window_place now = get_window_place(server, window);
        return now.x == from.x + dx && now.y == from.y + dy;
      },
      2000, 10);
}

// A key event the server did not make: delivered to the game however the
// focus stands, and no press or release of the real keyboard.
bool send_key_event(xvfb_server &server, x_window window, unsigned long keysym, bool down) {
  Display *dpy = server.display;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  Window target = window;  // Allegro listens on the child inside its frame
  if (XQueryTree(dpy, window, &root, &parent, &children, &count) && count > 0) target = children[0];
  if (children) XFree(children);
  XKeyEvent e = {};
  e.type = down ? KeyPress : KeyRelease;
  e.display = dpy;
  e.window = target;
  e.root = root;
  e.time = CurrentTime;
  e.same_screen = True;
  e.keycode = XKeysymToKeycode(dpy, static_cast<KeySym>(keysym));
  if (e.keycode == 0) return false;
  const Status sent = XSendEvent(dpy, target, False, down ? KeyPressMask : KeyReleaseMask,
                                 reinterpret_cast<XEvent *>(&e));
  XSync(dpy, False);
  return sent != 0;
}
