// The close button: what a desktop's window manager sends when the player
// clicks the title bar's X, a WM_DELETE_WINDOW client message; and a window
// destroyed from outside, as another program may do.
#include "xharness.h"

#include <X11/Xlib.h>

bool send_close_message(xvfb_server &server, x_window window) {
  Display *dpy = server.display;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(dpy, window, False, NoEventMask, &ev);
  XSync(dpy, False);
  return sent != 0;
}

bool destroy_window(xvfb_server &server, x_window window) {
  take_x_error_count();  // only this request's errors count
  XDestroyWindow(server.display, window);
  XSync(server.display, False);
  return take_x_error_count() == 0;
}
