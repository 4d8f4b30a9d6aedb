// The PNG writer: well-formed chunks whose image data unpacks to exactly
// the rows given.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

#include "png_write.h"

namespace {

uint32_t read_u32(const std::vector<unsigned char> &d, size_t at) {
  return static_cast<uint32_t>(d[at]) << 24 | static_cast<uint32_t>(d[at + 1]) << 16 |
         static_cast<uint32_t>(d[at + 2]) << 8 | d[at + 3];
}

TEST(png_write, writes_chunks_and_stored_rows_that_read_back) {
  const int w = 200, h = 120;
  std::vector<unsigned char> pixels(w * h * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7 + i / 301);
  std::string path = ::testing::TempDir() + "kv_png_test.png";
  ASSERT_TRUE(write_png(path.c_str(), w, h, pixels.data()));
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  ASSERT_GT(d.size(), 8u);
  const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_EQ(std::memcmp(d.data(), sig, 8), 0);

  std::vector<std::string> types;
  std::vector<unsigned char> idat;
  size_t at = 8;
  while (at + 12 <= d.size()) {
    uint32_t len = read_u32(d, at);
    ASSERT_LE(at + 12 + len, d.size());
    std::string type(d.begin() + at + 4, d.begin() + at + 8);
    EXPECT_EQ(crc32(0L, d.data() + at + 4, len + 4), read_u32(d, at + 8 + len)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(read_u32(d, at + 8), static_cast<uint32_t>(w));
      EXPECT_EQ(read_u32(d, at + 12), static_cast<uint32_t>(h));
      EXPECT_EQ(d[at + 16], 8);  // bit depth
      EXPECT_EQ(d[at + 17], 2);  // truecolour
    }
    if (type == "IDAT") idat.insert(idat.end(), d.begin() + at + 8, d.begin() + at + 8 + len);
    types.push_back(type);
    at += 12 + len;
  }
  EXPECT_EQ(at, d.size());
  ASSERT_EQ(types.front(), "IHDR");
  EXPECT_EQ(types.back(), "IEND");

  // The image data unpacks to the rows given, each led by filter 0.
  std::vector<unsigned char> raw(static_cast<size_t>((w * 3 + 1) * h));
  uLongf raw_size = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &raw_size, idat.data(), idat.size()), Z_OK);
  ASSERT_EQ(raw_size, raw.size());
  for (int y = 0; y < h; ++y) {
    EXPECT_EQ(raw[y * (w * 3 + 1)], 0) << "filter of row " << y;
    EXPECT_EQ(std::memcmp(&raw[y * (w * 3 + 1) + 1], &pixels[y * w * 3], w * 3), 0) << "row " << y;
  }
}

TEST(png_write, rgba_rows_keep_their_alpha) {
  const int w = 5, h = 3;
  std::vector<unsigned char> pixels(w * h * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 13);
  std::string path = ::testing::TempDir() + "kv_png_rgba.png";
  ASSERT_TRUE(write_png_rgba(path.c_str(), w, h, pixels.data()));
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  ASSERT_GT(d.size(), 33u);
  EXPECT_EQ(std::string(d.begin() + 12, d.begin() + 16), "IHDR");
  EXPECT_EQ(d[24], 8);  // bit depth
  EXPECT_EQ(d[25], 6);  // truecolour with alpha
  // The one IDAT right after IHDR unpacks to four bytes a pixel.
  const size_t at = 33;
  ASSERT_EQ(std::string(d.begin() + at + 4, d.begin() + at + 8), "IDAT");
  const uint32_t len = read_u32(d, at);
  std::vector<unsigned char> raw(static_cast<size_t>((w * 4 + 1) * h));
  uLongf raw_size = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &raw_size, d.data() + at + 8, len), Z_OK);
  ASSERT_EQ(raw_size, raw.size());
  for (int y = 0; y < h; ++y)
    EXPECT_EQ(std::memcmp(&raw[y * (w * 4 + 1) + 1], &pixels[y * w * 4], w * 4), 0) << "row " << y;
}

TEST(png_write, refuses_bad_arguments) {
  unsigned char px[3] = {1, 2, 3};
  std::string path = ::testing::TempDir() + "kv_png_bad.png";
  EXPECT_FALSE(write_png(path.c_str(), 0, 1, px));
  EXPECT_FALSE(write_png(path.c_str(), 1, 1, nullptr));
  EXPECT_FALSE(write_png("/nonexistent-folder/x.png", 1, 1, px));
}

}  // namespace
