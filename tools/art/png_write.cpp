#include "png_write.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

static void put_u32(std::vector<unsigned char> &out, std::uint32_t v) {
  out.push_back(static_cast<unsigned char>(v >> 24));
  out.push_back(static_cast<unsigned char>(v >> 16));
  out.push_back(static_cast<unsigned char>(v >> 8));
  out.push_back(static_cast<unsigned char>(v));
}

static void put_chunk(std::vector<unsigned char> &out, const char *type,
                      const std::vector<unsigned char> &body) {
  put_u32(out, static_cast<std::uint32_t>(body.size()));
  const size_t typed_at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  const uLong crc = crc32(0L, out.data() + typed_at, static_cast<uInt>(out.size() - typed_at));
  put_u32(out, static_cast<std::uint32_t>(crc));
}

// channels: 3 for RGB (PNG colour type 2), 4 for RGBA (colour type 6).
static bool write_png_channels(const char *path, int w, int h, const unsigned char *rgb,
                               int channels) {
  if (!path || !rgb || w <= 0 || h <= 0 || w > (1 << 14) || h > (1 << 14)) return false;
  // Raw scanlines, each led by filter byte 0 (none).
  const size_t row = static_cast<size_t>(w) * channels;
  std::vector<unsigned char> raw;
  raw.reserve((row + 1) * h);
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgb + y * row, rgb + (y + 1) * row);
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(packed_size);
  if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    return false;
  packed.resize(packed_size);

  std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> header;
  put_u32(header, static_cast<std::uint32_t>(w));
  put_u32(header, static_cast<std::uint32_t>(h));
  header.push_back(8);  // bits per sample
  header.push_back(channels == 4 ? 6 : 2);  // truecolour, with alpha or without
  header.push_back(0);  // deflate
  header.push_back(0);  // adaptive filters
  header.push_back(0);  // no interlace
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", packed);
  put_chunk(out, "IEND", {});

  std::FILE *f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

bool write_png(const char *path, int w, int h, const unsigned char *rgb) {
  return write_png_channels(path, w, h, rgb, 3);
}

bool write_png_rgba(const char *path, int w, int h, const unsigned char *rgba) {
  return write_png_channels(path, w, h, rgba, 4);
}
