#include "montage.h"

#include <allegro.h>

#include "background.h"
#include "blocks.h"
#include "effects.h"
#include "png_write.h"

static const rgb backdrop{22, 22, 30};

static const picture *find_picture(const std::vector<named_picture> &all, const std::string &name) {
  for (const named_picture &n : all)
    if (n.name == name) return &n.pic;
  return nullptr;
}

// Renders text with an Allegro font into a clear picture of its own size.
static picture render_text(FONT *font, const char *text, rgb colour) {
  int w = text_length(font, text), h = text_height(font);
  BITMAP *bmp = create_bitmap_ex(32, w, h);
  clear_to_color(bmp, makecol32(255, 0, 255));
  textout_ex(bmp, font, text, 0, 0, makecol32(colour.r, colour.g, colour.b), -1);
  picture p = make_picture(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int c = getpixel(bmp, x, y);
      if (c != makecol32(255, 0, 255)) put_pixel(p, x, y, {getr32(c), getg32(c), getb32(c)});
    }
  destroy_bitmap(bmp);
  return p;
}

static void fill_rect(picture &p, int x0, int y0, int w, int h, rgb c) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) put_pixel(p, x, y, c);
}

static void tile_background(picture &screen, const picture &tile) {
  for (int y = 0; y < screen.h; ++y)
    for (int x = 0; x < screen.w; ++x) put_pixel(screen, x, y, get_pixel(tile, x % tile.w, y % tile.h));
}

bool write_montage(const std::vector<named_picture> &pictures, const std::string &out_dir,
                   const std::string &png_path) {
  FONT *small = load_bitmap_font((out_dir + "/krove_sfont.bmp").c_str(), nullptr, nullptr);
  FONT *large = load_bitmap_font((out_dir + "/krove_lfont.pcx").c_str(), nullptr, nullptr);
  if (!small || !large) {
    if (small) destroy_font(small);
    if (large) destroy_font(large);
    return false;
  }
  picture sheet = make_picture(1320, 1100);
  fill_rect(sheet, 0, 0, sheet.w, sheet.h, backdrop);
  const int margin = 16, cell = 4 * block_size + 20;
  int y = margin;

  paste_picture(sheet, scale_picture(render_text(large, "KROVE VESTIN 0123456789", white), 2), margin, y);
  y += 2 * text_height(large) + 8;
  paste_picture(sheet, render_text(large, "KROVE VESTIN 0123456789 HIGH SCORES Tavelo -12340", white), margin, y);
  y += text_height(large) + 4;
  paste_picture(sheet, render_text(small, "The quick brown fox jumps over the lazy dog. 0123456789 +-:&.[]/%", white),
                margin, y);
  y += text_height(small) + 4;
  paste_picture(sheet, scale_picture(render_text(small, "The quick brown fox jumps over the lazy dog.", white), 2),
                margin, y);
  y += 2 * text_height(small) + 12;

  // Rows of pictures at 4x, each with its file name below.
  const std::vector<std::vector<std::string>> rows = {
      {"r_block.bmp", "b_block.bmp", "g_block.bmp", "y_block.bmp", "n_block.bmp", "powerup1.bmp", "powerup2.bmp",
       "powerup3.bmp"},
      {"blast1.bmp", "blast2.bmp", "blast3.bmp", "blast4.bmp", "fire_1.bmp", "fire_2.bmp", "fire_3.bmp", "fire_4.bmp"}};
  for (const auto &row : rows) {
    int x = margin;
    for (const std::string &name : row) {
      const picture *p = find_picture(pictures, name);
      if (!p) continue;
      paste_picture(sheet, scale_picture(*p, 4), x, y);
      paste_picture(sheet, render_text(small, name.c_str(), rgb{170, 170, 190}), x, y + 4 * block_size + 4);
      x += cell + 40;
    }
    y += 4 * block_size + 24;
  }
  // The colour-clear star over each half-strength block, and the blocks in
  // greyscale to prove the marks alone tell them apart.
  {
    int x = margin;
    const char *names[4] = {"r_block.bmp", "b_block.bmp", "g_block.bmp", "y_block.bmp"};
    for (const char *name : names) {
      picture half = *find_picture(pictures, name);
      for (rgb &c : half.px) c = scale_colour(c, 128);
      paste_picture(half, *find_picture(pictures, "powerup3.bmp"), 0, 0);
      paste_picture(sheet, scale_picture(half, 4), x, y);
      x += cell;
    }
    x += 40;
    for (const char *name : names) {
      picture grey = *find_picture(pictures, name);
      for (rgb &c : grey.px) c = rgb{luminance(c), luminance(c), luminance(c)};
      paste_picture(sheet, scale_picture(grey, 4), x, y);
      x += cell;
    }
    y += 4 * block_size + 16;
  }
  // The background tile repeated, to show that it has no seams.
  const picture &tile = *find_picture(pictures, "background.bmp");
  picture tiled = make_picture(3 * tile.w, 2 * tile.h);
  tile_background(tiled, tile);
  paste_picture(sheet, tiled, margin, y);
  y += tiled.h + 16;
  destroy_font(small);
  destroy_font(large);

  // Crop to what was used.
  int used_h = y < sheet.h ? y : sheet.h;
  std::vector<unsigned char> rgb_bytes;
  rgb_bytes.reserve(static_cast<size_t>(sheet.w) * used_h * 3);
  for (int yy = 0; yy < used_h; ++yy)
    for (int xx = 0; xx < sheet.w; ++xx) {
      rgb c = get_pixel(sheet, xx, yy);
      rgb_bytes.push_back(static_cast<unsigned char>(c.r));
      rgb_bytes.push_back(static_cast<unsigned char>(c.g));
      rgb_bytes.push_back(static_cast<unsigned char>(c.b));
    }
  return write_png(png_path.c_str(), sheet.w, used_h, rgb_bytes.data());
}
