// Screenshots as PNG through the art tools' writer: small files that any
// viewer and the README can show.
#include "xharness.h"

#include "png_write.h"

bool write_png_image(const std::string &path, const rgb_image &image) {
  if (image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) return false;
  return write_png(path.c_str(), image.width, image.height, image.rgb.data());
}
