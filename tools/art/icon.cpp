#include "icon.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "blocks.h"
#include "png_write.h"

picture draw_icon() {
  picture p = make_picture(icon_size, icon_size);
  const int origin = (icon_size - 2 * block_size) / 2;
  const int order[4] = {colour_red, colour_blue, colour_green, colour_yellow};
  // A soft drop shadow first, so the stack lifts off any desktop colour.
  for (int y = 0; y < 2 * block_size; ++y)
    for (int x = 0; x < 2 * block_size; ++x) put_pixel(p, origin + x + 2, origin + y + 2, rgb{10, 10, 18});
  for (int i = 0; i < 4; ++i)
    paste_picture(p, draw_colour_block(order[i]), origin + (i % 2) * block_size, origin + (i / 2) * block_size);
  return p;
}

bool save_xpm(const picture &p, const std::string &name, const std::string &path) {
  // Two characters per pixel: plenty of codes for every shade we use.
  static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789#$";
  const int base = 64;
  std::map<uint32_t, int> code_of;
  std::vector<uint32_t> colours;  // in order of first use, so output is stable
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      if (!is_solid(p, x, y)) continue;
      rgb c = get_pixel(p, x, y);
      uint32_t key = static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | static_cast<uint32_t>(c.b);
      if (code_of.count(key)) continue;
      code_of[key] = static_cast<int>(colours.size());
      colours.push_back(key);
    }
  if (colours.size() >= static_cast<size_t>(base * base)) return false;
  auto code = [&](int i) { return std::string{alphabet[i / base], alphabet[i % base]}; };

  FILE *f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "/* XPM */\nstatic char *%s[] = {\n", name.c_str());
  std::fprintf(f, "\"%d %d %d 2\",\n", p.w, p.h, static_cast<int>(colours.size()) + 1);
  std::fprintf(f, "\"   c None\",\n");
  for (size_t i = 0; i < colours.size(); ++i)
    std::fprintf(f, "\"%s c #%06X\",\n", code(static_cast<int>(i)).c_str(), colours[i]);
  for (int y = 0; y < p.h; ++y) {
    std::string line;
    for (int x = 0; x < p.w; ++x) {
      if (!is_solid(p, x, y)) {
        line += "  ";
        continue;
      }
      rgb c = get_pixel(p, x, y);
      uint32_t key = static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | static_cast<uint32_t>(c.b);
      line += code(code_of[key]);
    }
    std::fprintf(f, "\"%s\"%s\n", line.c_str(), y + 1 < p.h ? "," : "");
  }
  std::fprintf(f, "};\n");
  return std::fclose(f) == 0;
}

bool save_icon_png(const picture &p, const std::string &path) {
  std::vector<unsigned char> rgba;
  rgba.reserve(static_cast<size_t>(p.w) * p.h * 4);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      const bool solid = is_solid(p, x, y);
      const rgb c = solid ? get_pixel(p, x, y) : rgb{0, 0, 0};
      for (int v : {c.r, c.g, c.b, solid ? 255 : 0}) rgba.push_back(static_cast<unsigned char>(v));
    }
  return write_png_rgba(path.c_str(), p.w, p.h, rgba.data());
}

// Area resampling in whole numbers: source pixel i spans [i*size, (i+1)*size)
// and target pixel j spans [j*w, (j+1)*w) on one grid, so every weight is an
// exact overlap and the output is the same bytes on every machine.
static int overlap(int a0, int a1, int b0, int b1) { return std::max(0, std::min(a1, b1) - std::max(a0, b0)); }

bool save_sized_icon_png(const picture &p, int size, const std::string &path) {
  std::vector<unsigned char> rgba;
  rgba.reserve(static_cast<size_t>(size) * size * 4);
  const long long total = static_cast<long long>(p.w) * p.h;  // the sum of all weights
  for (int ty = 0; ty < size; ++ty)
    for (int tx = 0; tx < size; ++tx) {
      long long cover = 0, r = 0, g = 0, b = 0;  // colour weighted by covered solid area
      for (int sy = ty * p.h / size; sy < p.h && sy * size < (ty + 1) * p.h; ++sy)
        for (int sx = tx * p.w / size; sx < p.w && sx * size < (tx + 1) * p.w; ++sx) {
          if (!is_solid(p, sx, sy)) continue;
          const long long w = static_cast<long long>(overlap(sx * size, (sx + 1) * size, tx * p.w, (tx + 1) * p.w)) *
                              overlap(sy * size, (sy + 1) * size, ty * p.h, (ty + 1) * p.h);
          const rgb c = get_pixel(p, sx, sy);
          cover += w;
          r += w * c.r;
          g += w * c.g;
          b += w * c.b;
        }
      const long long half = cover / 2;
      for (long long v : {cover ? (r + half) / cover : 0, cover ? (g + half) / cover : 0,
                          cover ? (b + half) / cover : 0, (cover * 255 + total / 2) / total})
        rgba.push_back(static_cast<unsigned char>(v));
    }
  return write_png_rgba(path.c_str(), size, size, rgba.data());
}

bool save_app_icon_png(const picture &p, int size, const std::string &path) {
  const rgb page{17, 17, 22};  // the page's own background
  const int factor = std::max(1, size * 8 / 10 / std::max(p.w, p.h));
  const int left = (size - p.w * factor) / 2, top = (size - p.h * factor) / 2;
  std::vector<unsigned char> rgba;
  rgba.reserve(static_cast<size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int sx = (x - left) / factor, sy = (y - top) / factor;
      const bool inside = x >= left && y >= top && sx < p.w && sy < p.h;
      const rgb c = inside && is_solid(p, sx, sy) ? get_pixel(p, sx, sy) : page;
      for (int v : {c.r, c.g, c.b, 255}) rgba.push_back(static_cast<unsigned char>(v));
    }
  return write_png_rgba(path.c_str(), size, size, rgba.data());
}

// Little-endian, as the icon format wants.
static void put_le(std::string &out, unsigned value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 255);
}

bool save_ico(const std::vector<std::string> &png_paths, const std::string &path) {
  std::vector<std::string> images;
  for (const std::string &png : png_paths) {
    std::ifstream in(png, std::ios::binary);
    images.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in || images.back().size() < 24) return false;
  }
  std::string out;
  put_le(out, 0, 2);  // reserved
  put_le(out, 1, 2);  // an icon, not a cursor
  put_le(out, static_cast<unsigned>(images.size()), 2);
  unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
  for (const std::string &png : images) {
    // The PNG's own width and height, big-endian in its IHDR; 256 is written as 0.
    const unsigned width = static_cast<unsigned char>(png[18]) << 8 | static_cast<unsigned char>(png[19]);
    const unsigned height = static_cast<unsigned char>(png[22]) << 8 | static_cast<unsigned char>(png[23]);
    if (width > 256 || height > 256) return false;
    put_le(out, width & 255, 1);
    put_le(out, height & 255, 1);
    put_le(out, 0, 2);   // no palette, reserved
    put_le(out, 1, 2);   // planes
    put_le(out, 32, 2);  // bits per pixel
    put_le(out, static_cast<unsigned>(png.size()), 4);
    put_le(out, offset, 4);
    offset += static_cast<unsigned>(png.size());
  }
  for (const std::string &png : images) out += png;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << out;
  return static_cast<bool>(file.flush());
}
