// Text and marker stamps made with the same Allegro calls the game uses, on
// a memory bitmap, without a window (SYSTEM_NONE).
#include "game_art.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

namespace {

FONT *fonts[2] = {};
BITMAP *fireballs[4] = {};
BITMAP *blocks[4] = {};  // colours 1 to 4

FONT *font_of(game_font font) { return fonts[font == game_font::large ? 1 : 0]; }

bool is_white(const rgb_image &picture, int x, int y) {
  return pixel_at(picture, x, y) == rgb_colour{255, 255, 255};
}

rgb_colour colour_of(int c) {
  return rgb_colour{static_cast<unsigned char>(getr(c)), static_cast<unsigned char>(getg(c)),
                    static_cast<unsigned char>(getb(c))};
}

bool inside_matches(const rgb_image &picture, BITMAP *block, int x, int y) {
  for (int j = 1; j < block->h - 1; ++j)
    for (int i = 1; i < block->w - 1; ++i)
      if (!(pixel_at(picture, x + i, y + j) == colour_of(getpixel(block, i, j)))) return false;
  return true;
}

bool fireball_frame_at(const rgb_image &picture, BITMAP *frame, int x, int y) {
  const int mask = bitmap_mask_color(frame);
  for (int j = 0; j < frame->h; ++j)
    for (int i = 0; i < frame->w; ++i) {
      const int c = getpixel(frame, i, j);
      if (c == mask) continue;
      if (!(pixel_at(picture, x + i, y + j) == colour_of(c))) return false;
    }
  return true;
}

}  // namespace

bool load_game_art(const std::string &data_dir) {
  if (fonts[0] && fonts[1] && fireballs[3] && blocks[3]) return true;
  if (!system_driver && install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
  set_color_depth(32);
  fonts[0] = load_bitmap_font((data_dir + "/krove_sfont.bmp").c_str(), nullptr, nullptr);
  fonts[1] = load_bitmap_font((data_dir + "/krove_lfont.pcx").c_str(), nullptr, nullptr);
  for (int k = 0; k < 4; ++k) {
    const std::string path = data_dir + "/KV IMAGE/fire_" + std::to_string(k + 1) + ".bmp";
    fireballs[k] = load_bitmap(path.c_str(), nullptr);
  }
  static const char *const block_files[4] = {"r_block", "b_block", "g_block", "y_block"};
  for (int k = 0; k < 4; ++k)
    blocks[k] = load_bitmap((data_dir + "/KV IMAGE/" + block_files[k] + ".bmp").c_str(), nullptr);
  for (BITMAP *b : fireballs)
    if (!b) return false;
  for (BITMAP *b : blocks)
    if (!b) return false;
  return fonts[0] && fonts[1];
}

text_stamp stamp_text(game_font font, text_align align, int x, int y, const std::string &text) {
  FONT *f = font_of(font);
  text_stamp s;
  s.w = text_length(f, text.c_str());
  s.h = text_height(f);
  // Allegro's centring rounds the half width down, like the game's calls.
  s.x = align == text_align::left ? x : align == text_align::centre ? x - s.w / 2 : x - s.w;
  s.y = y;
  if (s.w <= 0 || s.h <= 0) return s;
  BITMAP *b = create_bitmap_ex(32, s.w, s.h);
  if (!b) return s;
  clear_to_color(b, makecol32(0, 0, 0));
  const int white = makecol32(255, 255, 255);
  textout_ex(b, f, text.c_str(), 0, 0, white, -1);
  s.ink.resize(static_cast<size_t>(s.w) * s.h);
  for (int j = 0; j < s.h; ++j)
    for (int i = 0; i < s.w; ++i)
      s.ink[static_cast<size_t>(j) * s.w + i] = getpixel(b, i, j) == white;
  destroy_bitmap(b);
  return s;
}

int count_stamp_misses(const rgb_image &picture, const text_stamp &stamp) {
  if (stamp.ink.empty()) return -1;
  int misses = 0;
  for (int j = 0; j < stamp.h; ++j)
    for (int i = 0; i < stamp.w; ++i) {
      const int px = stamp.x + i, py = stamp.y + j;
      if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) continue;
      misses += is_white(picture, px, py) != (stamp.ink[static_cast<size_t>(j) * stamp.w + i] != 0);
    }
  return misses;
}

bool shows_text(const rgb_image &picture, game_font font, text_align align, int x, int y,
                const std::string &text) {
  return count_stamp_misses(picture, stamp_text(font, align, x, y, text)) == 0;
}

std::string read_number_right(const rgb_image &picture, game_font font, int right_x, int y) {
  static const char glyphs[] = "0123456789-";
  std::string read;
  int right = right_x;
  for (int n = 0; n < 12; ++n) {
    bool matched = false;
    for (const char *g = glyphs; *g && !matched; ++g) {
      const std::string one(1, *g);
      if (count_stamp_misses(picture, stamp_text(font, text_align::right, right, y, one)) != 0)
        continue;
      read.insert(read.begin(), *g);
      right -= text_length(font_of(font), one.c_str());
      matched = true;
    }
    if (!matched) break;
  }
  return read;
}

bool fireball_at(const rgb_image &picture, int x, int y) {
  for (BITMAP *frame : fireballs)
    if (frame && fireball_frame_at(picture, frame, x, y)) return true;
  return false;
}

int block_colour_at(const rgb_image &picture, int x, int y) {
  for (int k = 0; k < 4; ++k)
    if (blocks[k] && inside_matches(picture, blocks[k], x, y)) return k + 1;
  return 0;
}
