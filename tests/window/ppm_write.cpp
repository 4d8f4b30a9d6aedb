// Screenshots as binary PPM: no library needed, and any viewer converts it.
#include "xharness.h"

#include <cstdio>

bool write_ppm(const std::string &path, const rgb_image &image) {
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
  const size_t n = image.rgb.size();
  bool ok = std::fwrite(image.rgb.data(), 1, n, f) == n;
  return std::fclose(f) == 0 && ok;
}
