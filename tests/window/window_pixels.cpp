// Reading back what the window shows, as plain RGB whatever the server's
// pixel layout, so tests can compare colours.
#include "xharness.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace {

int lowest_bit(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

// Scales a masked channel to 0..255.
unsigned char channel(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  unsigned long v = (pixel & mask) >> lowest_bit(mask);
  unsigned long max = mask >> lowest_bit(mask);
  return static_cast<unsigned char>(v * 255 / max);
}

}  // namespace

bool operator==(const rgb_colour &a, const rgb_colour &b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

bool grab_window(xvfb_server &server, x_window window, rgb_image &image) {
  Display *dpy = server.display;
  XWindowAttributes attr;
  if (!XGetWindowAttributes(dpy, window, &attr) || attr.map_state != IsViewable) return false;
  XImage *xi = XGetImage(dpy, window, 0, 0, attr.width, attr.height, AllPlanes, ZPixmap);
  if (!xi) return false;
  image.width = attr.width;
  image.height = attr.height;
  image.rgb.assign(static_cast<size_t>(image.width) * image.height * 3, 0);
  unsigned char *out = image.rgb.data();
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      unsigned long p = XGetPixel(xi, x, y);
      *out++ = channel(p, xi->red_mask);
      *out++ = channel(p, xi->green_mask);
      *out++ = channel(p, xi->blue_mask);
    }
  }
  XDestroyImage(xi);
  return true;
}

rgb_colour pixel_at(const rgb_image &image, int x, int y) {
  rgb_colour c;
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return c;
  const unsigned char *p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
  c.r = p[0];
  c.g = p[1];
  c.b = p[2];
  return c;
}

int count_colour(const rgb_image &image, int x, int y, int w, int h, rgb_colour colour) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, image.width), y1 = std::min(y + h, image.height);
  int n = 0;
  for (int py = y0; py < y1; ++py)
    for (int px = x0; px < x1; ++px)
      if (pixel_at(image, px, py) == colour) ++n;
  return n;
}
