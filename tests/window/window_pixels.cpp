// Reading back what the window shows, as plain RGB whatever the server's
// pixel layout, so tests can compare colours.
#include "xharness.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>

namespace {

// One colour channel of the server's pixels: where it sits and how wide.
struct channel_layout {
  unsigned long mask = 0;
  int shift = 0;
  unsigned long max = 0;
};

channel_layout layout_of(unsigned long mask) {
  channel_layout c;
  c.mask = mask;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++c.shift;
  }
  c.max = mask;
  return c;
}

// Scales a masked channel to 0..255.
unsigned char channel(unsigned long pixel, const channel_layout &c) {
  if (!c.max) return 0;
  return static_cast<unsigned char>(((pixel & c.mask) >> c.shift) * 255 / c.max);
}

}  // namespace

bool operator==(const rgb_colour &a, const rgb_colour &b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

// Fast enough to poll the window every millisecond or so: the layout is
// worked out once, and 32-bit rows in our byte order are read directly.
bool grab_window(xvfb_server &server, x_window window, rgb_image &image) {
  return grab_window_part(server, window, 0, 0, 0, 0, image);
}

bool grab_window_part(xvfb_server &server, x_window window, int x0, int y0, int width, int height,
                      rgb_image &image) {
  Display *dpy = server.display;
  XWindowAttributes attr;
  if (!XGetWindowAttributes(dpy, window, &attr) || attr.map_state != IsViewable) return false;
  if (width <= 0 || height <= 0) width = attr.width, height = attr.height;
  if (x0 < 0 || y0 < 0 || x0 + width > attr.width || y0 + height > attr.height) return false;
  XImage *xi = XGetImage(dpy, window, x0, y0, width, height, AllPlanes, ZPixmap);
  if (!xi) return false;
  image.width = width;
  image.height = height;
  image.rgb.assign(static_cast<size_t>(image.width) * image.height * 3, 0);
  unsigned char *out = image.rgb.data();
  const channel_layout r = layout_of(xi->red_mask), g = layout_of(xi->green_mask),
                       b = layout_of(xi->blue_mask);
  const int ours = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
  const bool direct = xi->bits_per_pixel == 32 && xi->byte_order == ours;
  for (int y = 0; y < image.height; ++y) {
    const char *row = xi->data + static_cast<size_t>(y) * xi->bytes_per_line;
    for (int x = 0; x < image.width; ++x) {
      const unsigned long p =
          direct ? reinterpret_cast<const std::uint32_t *>(row)[x] : XGetPixel(xi, x, y);
      *out++ = channel(p, r);
      *out++ = channel(p, g);
      *out++ = channel(p, b);
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
