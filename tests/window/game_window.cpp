// Finding the game's window, of class "krove-vestin": a child of the root,
// or of a window manager's frame there.
#include "xharness.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <vector>

namespace {


bool is_viewable(Display *dpy, Window w) {
  XWindowAttributes attr;
  return XGetWindowAttributes(dpy, w, &attr) && attr.map_state == IsViewable;
}

}  // namespace

window_class get_window_class(xvfb_server &server, x_window window) {
  window_class c;
  XClassHint hint;
  if (!XGetClassHint(server.display, window, &hint)) return c;
  if (hint.res_name) c.name = hint.res_name;
  if (hint.res_class) c.group = hint.res_class;
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return c;
}

bool window_has_icon(xvfb_server &server, x_window window) {
  XWMHints *hints = XGetWMHints(server.display, window);
  const bool has = hints && (hints->flags & IconPixmapHint) && hints->icon_pixmap != 0;
  if (hints) XFree(hints);
  return has;
}

std::string get_window_name(xvfb_server &server, x_window window) {
  char *name = nullptr;
  std::string result;
  if (XFetchName(server.display, window, &name) && name) result = name;
  if (name) XFree(name);
  return result;
}

// The top-level windows, and under a window manager the windows in its
// frames, topmost first.
static std::vector<Window> top_windows(Display *dpy) {
  std::vector<Window> found;
  Window root_back, parent, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root_back, &parent, &children, &count)) return found;
  for (unsigned int i = count; i-- > 0;) {
    found.push_back(children[i]);
    Window *inner = nullptr;
    unsigned int inner_count = 0;
    if (XQueryTree(dpy, children[i], &root_back, &parent, &inner, &inner_count))
      for (unsigned int j = inner_count; j-- > 0;) found.push_back(inner[j]);
    if (inner) XFree(inner);
  }
  if (children) XFree(children);
  return found;
}

x_window find_game_window(xvfb_server &server, const char *name, x_window except) {
  Display *dpy = server.display;
  const std::string game_class = testing_windows_game() ? "krove-vestin.exe" : "krove-vestin";
  // Top of the stacking order first: that is the one a player would see.
  for (Window w : top_windows(dpy)) {
    if (w == except || get_window_class(server, w).group != game_class || !is_viewable(dpy, w)) continue;
    if (name && get_window_name(server, w) != name) continue;
    return w;
  }
  return 0;
}

x_window wait_for_game_window(xvfb_server &server, int timeout_ms, const char *name) {
  x_window found = 0;
  poll_until([&] { return (found = find_game_window(server, name)) != 0; }, timeout_ms, 10);
  return found;
}

window_size get_window_size(xvfb_server &server, x_window window) {
  window_size size;
  XWindowAttributes attr;
  if (XGetWindowAttributes(server.display, window, &attr)) {
    size.width = attr.width;
    size.height = attr.height;
  }
  return size;
}

bool wait_for_window_size(xvfb_server &server, x_window window, int width, int height,
                          int timeout_ms) {
  return poll_until(
      [&] {
        window_size s = get_window_size(server, window);
        return s.width == width && s.height == height;
      },
      timeout_ms, 10);
}

// A message box of the Windows game belongs to its window: Wine marks it
// transient for that window.
bool answer_message_box(xvfb_server &server) {
  Display *dpy = server.display;
  for (Window w : top_windows(dpy)) {
    Window owner = 0;
    if (get_window_class(server, w).group == "krove-vestin.exe" && is_viewable(dpy, w) &&
        XGetTransientForHint(dpy, w, &owner) && owner)
      return focus_window(server, w) && tap_key(server, XK_Return);
  }
  return false;
}

window_place get_window_place(xvfb_server &server, x_window window) {
  window_place place;
  Window child;
  XTranslateCoordinates(server.display, window, DefaultRootWindow(server.display), 0, 0, &place.x,
                        &place.y, &child);
  return place;
}

bool window_in_state(xvfb_server &server, x_window window, const char *state) {
  Display *dpy = server.display;
  const Atom wanted = XInternAtom(dpy, state, False);
  Atom type;
  int format;
  unsigned long count = 0, after;
  unsigned char *data = nullptr;
  bool in = false;
  if (XGetWindowProperty(dpy, window, XInternAtom(dpy, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM,
                         &type, &format, &count, &after, &data) == Success && data && format == 32)
    for (unsigned long i = 0; i < count && !in; i++) in = reinterpret_cast<const Atom *>(data)[i] == wanted;
  if (data) XFree(data);
  return in;
}
