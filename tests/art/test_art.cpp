// Checks on the pictures and fonts in data/ as the game will load them:
// sizes, the magenta key, fonts that draw in exactly the asked colour and
// fit the screen, and blocks that stay apart without colour.
#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <zlib.h>

#include "core/resources.h"
#include "support/test_env.h"

namespace {

// Safe to call again when a shared test environment already started
// Allegro for the whole executable.
void start_allegro_without_window() {
  if (!system_driver) install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  _rgb_r_shift_32 = 16;
  _rgb_g_shift_32 = 8;
  _rgb_b_shift_32 = 0;
}

std::string data_path(const std::string &name) { return std::string(KV_DATA_DIR) + "/" + name; }
std::string image_path(const std::string &name) { return data_path("KV IMAGE/" + name); }

struct bitmap_deleter {
  void operator()(BITMAP *b) const { destroy_bitmap(b); }
};
struct font_deleter {
  void operator()(FONT *f) const { destroy_font(f); }
};
using bitmap_ptr = std::unique_ptr<BITMAP, bitmap_deleter>;
using font_ptr = std::unique_ptr<FONT, font_deleter>;

bitmap_ptr load_picture(const std::string &name) {
  return bitmap_ptr(load_bitmap(image_path(name).c_str(), nullptr));
}

bool is_magenta(BITMAP *b, int x, int y) { return getpixel(b, x, y) == makecol32(255, 0, 255); }

int luma_at(BITMAP *b, int x, int y) {
  int c = getpixel(b, x, y);
  return (getr32(c) * 299 + getg32(c) * 587 + getb32(c) * 114) / 1000;
}

int clear_count(BITMAP *b) {
  int n = 0;
  for (int y = 0; y < b->h; ++y)
    for (int x = 0; x < b->w; ++x) n += is_magenta(b, x, y);
  return n;
}

const char *const square_pictures[] = {"r_block.bmp",  "b_block.bmp",  "g_block.bmp",  "y_block.bmp",
                                       "powerup1.bmp", "powerup2.bmp", "powerup3.bmp", "blast1.bmp",
                                       "blast2.bmp",   "blast3.bmp",   "blast4.bmp"};
const char *const colour_blocks[] = {"r_block.bmp", "b_block.bmp", "g_block.bmp", "y_block.bmp"};
const char *const fire_frames[] = {"fire_1.bmp", "fire_2.bmp", "fire_3.bmp", "fire_4.bmp"};

// Every printable character, so a missing or shifted glyph shows up.
std::string all_printable() {
  std::string s;
  for (int c = 32; c <= 126; ++c) s += static_cast<char>(c);
  return s;
}

class art : public ::testing::Test {
protected:
  static void SetUpTestSuite() { start_allegro_without_window(); }
};

TEST_F(art, pictures_load_at_32_bits_with_their_sizes) {
  for (const char *name : square_pictures) {
    bitmap_ptr b = load_picture(name);
    ASSERT_TRUE(b) << name;
    EXPECT_EQ(bitmap_color_depth(b.get()), 32) << name;
    EXPECT_EQ(b->w, 18) << name;
    EXPECT_EQ(b->h, 18) << name;
  }
  bitmap_ptr n = load_picture("n_block.bmp");
  ASSERT_TRUE(n);
  EXPECT_EQ(n->w, 18);
  EXPECT_GE(n->h, 16);
  for (const char *name : fire_frames) {
    bitmap_ptr f = load_picture(name);
    ASSERT_TRUE(f) << name;
    EXPECT_LE(f->w, 18) << name;  // must end before the label at x=130
    EXPECT_GE(f->h, 10) << name;
    EXPECT_LE(f->h, 14) << name;
  }
  bitmap_ptr bg = load_picture("background.bmp");
  ASSERT_TRUE(bg);
  EXPECT_GE(bg->w, 197);
  EXPECT_GE(bg->h, 197);
}

TEST_F(art, background_is_opaque_dark_and_seamless) {
  bitmap_ptr bg = load_picture("background.bmp");
  ASSERT_TRUE(bg);
  EXPECT_EQ(clear_count(bg.get()), 0);
  long sum = 0;
  int brightest = 0;
  for (int y = 0; y < bg->h; ++y)
    for (int x = 0; x < bg->w; ++x) {
      int l = luma_at(bg.get(), x, y);
      sum += l;
      brightest = l > brightest ? l : brightest;
    }
  // Dark enough for white text: the average stays low, the stars stay dim.
  EXPECT_LT(sum / (bg->w * bg->h), 48);
  EXPECT_LT(brightest, 110);
  // Across the wrap edges the step between neighbours is no bigger than a
  // typical step inside the tile, so the 3x3 tiling shows no seam.
  auto step = [&](int x0, int y0, int x1, int y1) {
    int a = getpixel(bg.get(), x0, y0), b = getpixel(bg.get(), x1, y1);
    return std::abs(getr32(a) - getr32(b)) + std::abs(getg32(a) - getg32(b)) + std::abs(getb32(a) - getb32(b));
  };
  std::vector<long> column_steps, row_steps;
  for (int x = 0; x + 1 < bg->w; ++x) {
    long s = 0;
    for (int y = 0; y < bg->h; ++y) s += step(x, y, x + 1, y);
    column_steps.push_back(s);
  }
  for (int y = 0; y + 1 < bg->h; ++y) {
    long s = 0;
    for (int x = 0; x < bg->w; ++x) s += step(x, y, x, y + 1);
    row_steps.push_back(s);
  }
  long wrap_x = 0, wrap_y = 0;
  for (int y = 0; y < bg->h; ++y) wrap_x += step(bg->w - 1, y, 0, y);
  for (int x = 0; x < bg->w; ++x) wrap_y += step(x, bg->h - 1, x, 0);
  std::sort(column_steps.begin(), column_steps.end());
  std::sort(row_steps.begin(), row_steps.end());
  EXPECT_LE(wrap_x, column_steps[column_steps.size() / 2] * 3 / 2);
  EXPECT_LE(wrap_y, row_steps[row_steps.size() / 2] * 3 / 2);
}

TEST_F(art, blocks_are_solid_and_power_ups_are_masked) {
  for (const char *name : colour_blocks) {
    bitmap_ptr b = load_picture(name);
    ASSERT_TRUE(b) << name;
    EXPECT_EQ(clear_count(b.get()), 0) << name;
  }
  bitmap_ptr n = load_picture("n_block.bmp");
  ASSERT_TRUE(n);
  EXPECT_EQ(clear_count(n.get()), 0);
  // Power-ups have cut corners and a solid middle.
  for (const char *name : {"powerup1.bmp", "powerup2.bmp"}) {
    bitmap_ptr p = load_picture(name);
    ASSERT_TRUE(p) << name;
    EXPECT_TRUE(is_magenta(p.get(), 0, 0)) << name;
    EXPECT_TRUE(is_magenta(p.get(), 17, 17)) << name;
    EXPECT_FALSE(is_magenta(p.get(), 8, 8)) << name;
    EXPECT_GT(clear_count(p.get()), 8) << name;
    EXPECT_LT(clear_count(p.get()), 18 * 18 / 5) << name;
  }
  // The colour-clear star lies over a block: mostly see-through.
  bitmap_ptr star = load_picture("powerup3.bmp");
  ASSERT_TRUE(star);
  EXPECT_GT(clear_count(star.get()), 18 * 18 / 2);
  EXPECT_FALSE(is_magenta(star.get(), 8, 9));
  EXPECT_TRUE(is_magenta(star.get(), 0, 17));
  for (const char *name : fire_frames) {
    bitmap_ptr f = load_picture(name);
    ASSERT_TRUE(f) << name;
    EXPECT_GT(clear_count(f.get()), f->w * f->h / 3) << name;
    EXPECT_LT(clear_count(f.get()), f->w * f->h) << name;
  }
}

TEST_F(art, colour_clear_star_stays_legible_over_every_block) {
  // Over a half-strength block the star keeps both near-white and
  // near-black pixels, so it shows on light and dark colours alike.
  bitmap_ptr star = load_picture("powerup3.bmp");
  ASSERT_TRUE(star);
  int light = 0, dark = 0;
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 18; ++x) {
      if (is_magenta(star.get(), x, y)) continue;
      int l = luma_at(star.get(), x, y);
      light += l > 190;
      dark += l < 50;
    }
  EXPECT_GT(light, 30);
  EXPECT_GT(dark, 20);
}

// Average distance of the drawn pixels from the middle, in pixels.
double mean_radius(BITMAP *b, int *count) {
  double total = 0;
  int n = 0;
  for (int y = 0; y < b->h; ++y)
    for (int x = 0; x < b->w; ++x) {
      if (is_magenta(b, x, y)) continue;
      double dx = x - (b->w - 1) / 2.0, dy = y - (b->h - 1) / 2.0;
      total += std::sqrt(dx * dx + dy * dy);
      ++n;
    }
  *count = n;
  return n ? total / n : 0;
}

TEST_F(art, blast_bursts_outward_then_fades) {
  double radius[5] = {0};
  int count[5] = {0};
  for (int stage = 1; stage <= 4; ++stage) {
    bitmap_ptr b = load_picture("blast" + std::to_string(stage) + ".bmp");
    ASSERT_TRUE(b);
    EXPECT_GT(clear_count(b.get()), 0) << stage;
    radius[stage] = mean_radius(b.get(), &count[stage]);
    EXPECT_GT(count[stage], 0) << stage;
  }
  EXPECT_LT(radius[1], radius[2]);
  EXPECT_LT(radius[2], radius[3]);
  EXPECT_LT(count[4], count[3]);
}

TEST_F(art, fire_frames_animate) {
  std::vector<bitmap_ptr> frames;
  for (const char *name : fire_frames) frames.push_back(load_picture(name));
  for (size_t i = 0; i < frames.size(); ++i) {
    ASSERT_TRUE(frames[i]);
    size_t j = (i + 1) % frames.size();
    ASSERT_TRUE(frames[j]);
    int changed = 0;
    for (int y = 0; y < frames[i]->h; ++y)
      for (int x = 0; x < frames[i]->w; ++x) changed += getpixel(frames[i].get(), x, y) != getpixel(frames[j].get(), x, y);
    EXPECT_GT(changed, 4) << "frame " << i + 1 << " vs " << j + 1;
  }
}

// Pixels of the inner face that stand out from the face around them: the
// block's mark, seen without any colour.
std::set<int> mark_pixels(BITMAP *b) {
  std::vector<int> face;
  for (int y = 3; y < 15; ++y)
    for (int x = 3; x < 15; ++x) face.push_back(luma_at(b, x, y));
  std::vector<int> sorted = face;
  std::sort(sorted.begin(), sorted.end());
  int median = sorted[sorted.size() / 2];
  std::set<int> mark;
  for (int y = 3; y < 15; ++y)
    for (int x = 3; x < 15; ++x)
      if (std::abs(luma_at(b, x, y) - median) > 20) mark.insert(y * 18 + x);
  return mark;
}

TEST_F(art, colour_blocks_differ_in_mark_and_brightness) {
  std::vector<std::set<int>> marks;
  std::vector<int> mean_luma;
  for (const char *name : colour_blocks) {
    bitmap_ptr b = load_picture(name);
    ASSERT_TRUE(b) << name;
    marks.push_back(mark_pixels(b.get()));
    EXPECT_GE(marks.back().size(), 20u) << name << " has no clear mark";
    long sum = 0;
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 18; ++x) sum += luma_at(b.get(), x, y);
    mean_luma.push_back(static_cast<int>(sum / (18 * 18)));
  }
  for (size_t i = 0; i < marks.size(); ++i)
    for (size_t j = i + 1; j < marks.size(); ++j) {
      std::vector<int> only;
      std::set_symmetric_difference(marks[i].begin(), marks[i].end(), marks[j].begin(), marks[j].end(),
                                    std::back_inserter(only));
      EXPECT_GE(only.size(), 16u) << colour_blocks[i] << " and " << colour_blocks[j] << " share a mark shape";
      EXPECT_GE(std::abs(mean_luma[i] - mean_luma[j]), 12)
          << colour_blocks[i] << " and " << colour_blocks[j] << " are equally bright";
    }
}

TEST_F(art, power_ups_do_not_pass_for_blocks) {
  // Their silhouettes differ from the square blocks, and from each other.
  bitmap_ptr area = load_picture("powerup1.bmp"), band = load_picture("powerup2.bmp");
  ASSERT_TRUE(area && band);
  int differ = 0;
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 18; ++x) differ += std::abs(luma_at(area.get(), x, y) - luma_at(band.get(), x, y)) > 30;
  EXPECT_GT(differ, 40);
}

class art_fonts : public art {
protected:
  void SetUp() override {
    small.reset(load_bitmap_font(data_path("krove_sfont.bmp").c_str(), nullptr, nullptr));
    large.reset(load_bitmap_font(data_path("krove_lfont.pcx").c_str(), nullptr, nullptr));
    ASSERT_TRUE(small) << "krove_sfont.bmp";
    ASSERT_TRUE(large) << "krove_lfont.pcx";
  }
  font_ptr small, large;
};

TEST_F(art_fonts, cover_printable_ascii_in_one_ink) {
  for (FONT *f : {small.get(), large.get()}) {
    EXPECT_TRUE(is_mono_font(f));  // mono: drawn in the caller's colour
    EXPECT_EQ(get_font_range_begin(f, -1), 32);
    EXPECT_EQ(get_font_range_end(f, -1), 126);
  }
}

TEST_F(art_fonts, text_comes_out_in_exactly_the_asked_colour) {
  const std::string text = all_printable();
  for (FONT *f : {small.get(), large.get()}) {
    for (int ink : {makecol32(255, 255, 255), makecol32(0, 0, 0)}) {
      int grey = makecol32(128, 128, 128);
      bitmap_ptr b(create_bitmap_ex(32, text_length(f, text.c_str()) + 8, text_height(f) + 8));
      ASSERT_TRUE(b);
      clear_to_color(b.get(), grey);
      textout_ex(b.get(), f, text.c_str(), 4, 4, ink, -1);
      int inked = 0, other = 0;
      for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x) {
          int c = getpixel(b.get(), x, y);
          inked += c == ink;
          other += c != ink && c != grey;
        }
      EXPECT_GT(inked, 200);
      EXPECT_EQ(other, 0);
    }
  }
}

TEST_F(art_fonts, every_glyph_is_drawn_and_unlike_the_others) {
  for (FONT *f : {small.get(), large.get()}) {
    std::map<std::string, char> seen;
    for (int c = 33; c <= 126; ++c) {
      char s[2] = {static_cast<char>(c), 0};
      bitmap_ptr b(create_bitmap_ex(32, text_length(f, s), text_height(f)));
      ASSERT_TRUE(b);
      clear_to_color(b.get(), 0);
      textout_ex(b.get(), f, s, 0, 0, makecol32(255, 255, 255), -1);
      std::string shape = std::to_string(b->w) + ":";
      int ink = 0;
      for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x) {
          bool on = getpixel(b.get(), x, y) != 0;
          ink += on;
          shape += on ? '#' : '.';
        }
      EXPECT_GT(ink, 0) << "no ink for '" << s << "'";
      auto found = seen.find(shape);
      EXPECT_TRUE(found == seen.end()) << "'" << s << "' looks like '" << (found == seen.end() ? ' ' : found->second)
                                       << "'";
      seen[shape] = static_cast<char>(c);
    }
  }
}

TEST_F(art_fonts, small_font_fits_a_line_and_a_strip) {
  EXPECT_LE(text_height(small.get()), 11);  // one line in a 12 px strip
  EXPECT_GE(text_height(small.get()), 8);
  EXPECT_LE(text_length(small.get(), "CODING & GAME DESIGN: TAVELO"), 320);
  const std::string thanks = "THANKS TO: MOM, DAD, THE TESTERS & YOU! 2024";  // 44 characters
  ASSERT_EQ(thanks.size(), 44u);
  EXPECT_LE(text_length(small.get(), thanks.c_str()), 320);
  // Even 44 of the widest character fit across the screen.
  int widest = 0;
  for (int c = 32; c <= 126; ++c) {
    char s[2] = {static_cast<char>(c), 0};
    widest = std::max(widest, text_length(small.get(), s));
  }
  EXPECT_LE(widest, 7);
  EXPECT_LE(44 * widest, 320);
}

TEST_F(art_fonts, large_font_is_about_twice_as_tall_and_headings_fit) {
  double ratio = static_cast<double>(text_height(large.get())) / text_height(small.get());
  EXPECT_GE(ratio, 1.6);
  EXPECT_LE(ratio, 2.6);
  EXPECT_GE(text_height(large.get()), 16);
  EXPECT_LE(text_height(large.get()), 20);
  for (const char *heading : {"KROVE VESTIN", "HIGH SCORES", "GAME PAUSED", "LEVEL 10", "SCORE:", "-12340", "Tavelo"})
    EXPECT_LE(text_length(large.get(), heading), 280) << heading;
  // Digits share one width so a counting score does not jitter.
  for (char d = '0'; d <= '9'; ++d) {
    char s[2] = {d, 0};
    EXPECT_EQ(text_length(large.get(), s), text_length(large.get(), "0")) << d;
    EXPECT_EQ(text_length(small.get(), s), text_length(small.get(), "0")) << d;
  }
}

// The quoted strings of an XPM file: the header, the colours, the rows.
std::vector<std::string> xpm_strings(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::string> strings;
  std::string line;
  while (std::getline(in, line)) {
    size_t a = line.find('"'), b = line.rfind('"');
    if (a != std::string::npos && b > a) strings.push_back(line.substr(a + 1, b - a - 1));
  }
  return strings;
}

TEST_F(art, icon_is_a_complete_48_pixel_xpm) {
  ASSERT_TRUE(std::ifstream(data_path("krove-vestin.xpm")).good());
  const std::vector<std::string> strings = xpm_strings(data_path("krove-vestin.xpm"));
  ASSERT_FALSE(strings.empty());
  std::istringstream head(strings[0]);
  int w = 0, h = 0, colours = 0, per_pixel = 0;
  head >> w >> h >> colours >> per_pixel;
  EXPECT_EQ(w, 48);
  EXPECT_EQ(h, 48);
  ASSERT_GT(colours, 4);
  ASSERT_GT(per_pixel, 0);
  ASSERT_EQ(strings.size(), static_cast<size_t>(1 + colours + h));
  std::set<std::string> codes;
  for (int i = 1; i <= colours; ++i) codes.insert(strings[i].substr(0, per_pixel));
  EXPECT_EQ(codes.size(), static_cast<size_t>(colours));
  int solid = 0;
  for (int y = 0; y < h; ++y) {
    const std::string &row = strings[1 + colours + y];
    ASSERT_EQ(row.size(), static_cast<size_t>(w * per_pixel)) << "row " << y;
    for (int x = 0; x < w; ++x) {
      std::string code = row.substr(x * per_pixel, per_pixel);
      EXPECT_TRUE(codes.count(code)) << "row " << y << " uses undefined colour '" << code << "'";
      solid += code != std::string(per_pixel, ' ');
    }
  }
  EXPECT_GT(solid, 48 * 48 / 2);  // the blocks fill most of it
}

// The PNG icon desktops prefer is the XPM's picture: same size, and
// see-through exactly where the XPM says None.
TEST_F(art, icon_png_is_the_xpm_with_alpha) {
  const std::vector<std::string> strings = xpm_strings(data_path("krove-vestin.xpm"));
  ASSERT_FALSE(strings.empty());
  std::istringstream head(strings[0]);
  int w = 0, h = 0, colours = 0, per_pixel = 0;
  head >> w >> h >> colours >> per_pixel;
  ASSERT_EQ(strings.size(), static_cast<size_t>(1 + colours + h));

  std::ifstream png_in(data_path("krove-vestin.png"), std::ios::binary);
  std::vector<unsigned char> d((std::istreambuf_iterator<char>(png_in)), std::istreambuf_iterator<char>());
  ASSERT_GT(d.size(), 41u);
  auto u32 = [&](size_t at) {
    return static_cast<int>(d[at]) << 24 | static_cast<int>(d[at + 1]) << 16 |
           static_cast<int>(d[at + 2]) << 8 | d[at + 3];
  };
  EXPECT_EQ(u32(16), w);
  EXPECT_EQ(u32(20), h);
  ASSERT_EQ(d[25], 6) << "RGBA";
  ASSERT_EQ(std::string(d.begin() + 37, d.begin() + 41), "IDAT");
  std::vector<unsigned char> raw(static_cast<size_t>((w * 4 + 1) * h));
  uLongf raw_size = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &raw_size, d.data() + 41, u32(33)), Z_OK);
  ASSERT_EQ(raw_size, raw.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool clear = strings[1 + colours + y].substr(x * per_pixel, per_pixel) == std::string(per_pixel, ' ');
      EXPECT_EQ(raw[y * (w * 4 + 1) + 1 + x * 4 + 3], clear ? 0 : 255) << x << "," << y;
    }
}

// The game loads every file at start-up and refuses to start, naming the
// file, when any one of them is missing. Run in a copy of data/.
TEST_F(art, start_up_makes_a_black_buffer_and_stops_at_any_missing_file_naming_it) {
  const char *const files[] = {
      "KV IMAGE/r_block.bmp",  "KV IMAGE/b_block.bmp",  "KV IMAGE/g_block.bmp", "KV IMAGE/y_block.bmp",
      "KV IMAGE/powerup1.bmp", "KV IMAGE/powerup2.bmp", "KV IMAGE/powerup3.bmp", "KV IMAGE/n_block.bmp",
      "KV IMAGE/blast1.bmp",   "KV IMAGE/blast2.bmp",   "KV IMAGE/blast3.bmp",   "KV IMAGE/blast4.bmp",
      "KV IMAGE/fire_1.bmp",   "KV IMAGE/fire_2.bmp",   "KV IMAGE/fire_3.bmp",   "KV IMAGE/fire_4.bmp",
      "krove_sfont.bmp",       "krove_lfont.pcx",       "KV IMAGE/background.bmp"};
  BITMAP **const pictures[] = {&block[0],    &block[1],    &block[2],    &block[3],    &pow_up[0],
                               &pow_up[1],   &pow_up[2],   &n_block,     &blast[0],    &blast[1],
                               &blast[2],    &blast[3],    &fireball[0], &fireball[1], &fireball[2],
                               &fireball[3], &background};
  FONT **const fonts[] = {&reg_txt, &lrg_txt};
  BITMAP *kept_pictures[std::size(pictures)];
  FONT *kept_fonts[std::size(fonts)];
  for (size_t i = 0; i < std::size(pictures); i++) kept_pictures[i] = *pictures[i];
  for (size_t i = 0; i < std::size(fonts); i++) kept_fonts[i] = *fonts[i];
  // What a load put in place is released and the test's own pictures come back.
  auto put_back = [&] {
    for (size_t i = 0; i < std::size(pictures); i++) {
      if (*pictures[i] && *pictures[i] != kept_pictures[i]) destroy_bitmap(*pictures[i]);
      *pictures[i] = kept_pictures[i];
    }
    for (size_t i = 0; i < std::size(fonts); i++) {
      if (*fonts[i] && *fonts[i] != kept_fonts[i]) destroy_font(*fonts[i]);
      *fonts[i] = kept_fonts[i];
    }
  };
  // The first picture shown is drawn on a black back buffer.
  destroy_bitmap(buffer);
  destroy_bitmap(credit_bar);
  ASSERT_TRUE(create_buffers());
  for (int y = 0; y < 240; y++)
    for (int x = 0; x < 320; x++) ASSERT_EQ(getpixel(buffer, x, y), 0) << x << "," << y;
  temp_folder folder;
  namespace fs = std::filesystem;
  fs::copy(data_path("KV IMAGE"), folder.file("KV IMAGE"), fs::copy_options::recursive);
  fs::copy(data_path("krove_sfont.bmp"), folder.file("krove_sfont.bmp"));
  fs::copy(data_path("krove_lfont.pcx"), folder.file("krove_lfont.pcx"));

  testing::internal::CaptureStderr();
  EXPECT_TRUE(load_resources());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  put_back();
  for (const char *name : files) {
    const std::string path = folder.file(name), away = path + ".away";
    fs::rename(path, away);
    testing::internal::CaptureStderr();
    const bool loaded = load_resources();
    const std::string said = testing::internal::GetCapturedStderr();
    put_back();
    fs::rename(away, path);
    EXPECT_FALSE(loaded) << name;
    const std::string base = fs::path(name).filename().string();
    EXPECT_NE(said.find(base), std::string::npos) << name << ": " << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
}

}  // namespace
