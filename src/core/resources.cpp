#include "core/resources.h"

#include <allegro.h>

#include "platform/report.h"

BITMAP *buffer = nullptr;
BITMAP *credit_bar = nullptr;
BITMAP *block[4] = {};
BITMAP *pow_up[3] = {};
BITMAP *n_block = nullptr;
BITMAP *blast[4] = {};
BITMAP *fireball[4] = {};
BITMAP *background = nullptr;
FONT *reg_txt = nullptr;
FONT *lrg_txt = nullptr;

bool create_buffers() {
  buffer = create_bitmap(320, 240);
  credit_bar = create_bitmap(320, 12);
  if (!buffer || !credit_bar) {
    return report_line("cannot create the 320x240 back buffer");
  }
  clear_to_color(buffer, makecol(0, 0, 0));
  return true;
}

static bool load_picture(BITMAP *&slot, const char *path) {
  slot = load_bitmap(path, nullptr);
  if (!slot) report_line("cannot load picture \"%s\"", path);
  return slot != nullptr;
}

static bool load_font(FONT *&slot, const char *path) {
  slot = load_bitmap_font(path, nullptr, nullptr);
  if (!slot) report_line("cannot load font \"%s\"", path);
  return slot != nullptr;
}

bool load_resources() {
  static const char *const blocks[4] = {"KV IMAGE//r_block.bmp", "KV IMAGE//b_block.bmp",
                                        "KV IMAGE//g_block.bmp", "KV IMAGE//y_block.bmp"};
  static const char *const powers[3] = {"KV IMAGE//powerup1.bmp", "KV IMAGE//powerup2.bmp",
                                        "KV IMAGE//powerup3.bmp"};
  static const char *const blasts[4] = {"KV IMAGE//blast1.bmp", "KV IMAGE//blast2.bmp",
                                        "KV IMAGE//blast3.bmp", "KV IMAGE//blast4.bmp"};
  static const char *const fires[4] = {"KV IMAGE//fire_1.bmp", "KV IMAGE//fire_2.bmp",
                                       "KV IMAGE//fire_3.bmp", "KV IMAGE//fire_4.bmp"};
  for (int i = 0; i < 4; i++)
    if (!load_picture(block[i], blocks[i])) return false;
  for (int i = 0; i < 3; i++)
    if (!load_picture(pow_up[i], powers[i])) return false;
  if (!load_picture(n_block, "KV IMAGE//n_block.bmp")) return false;
  for (int i = 0; i < 4; i++)
    if (!load_picture(blast[i], blasts[i])) return false;
  for (int i = 0; i < 4; i++)
    if (!load_picture(fireball[i], fires[i])) return false;
  if (!load_font(reg_txt, "krove_sfont.bmp")) return false;
  if (!load_font(lrg_txt, "krove_lfont.pcx")) return false;
  return load_picture(background, "KV IMAGE//background.bmp");
}

template <typename T, typename F>
static void release(T *&handle, F destroy) {
  if (handle) destroy(handle);
  handle = nullptr;
}

void release_resources() {
  release(buffer, destroy_bitmap);
  release(credit_bar, destroy_bitmap);
  release(n_block, destroy_bitmap);
  release(background, destroy_bitmap);
  release(reg_txt, destroy_font);
  release(lrg_txt, destroy_font);
  for (BITMAP *&b : block) release(b, destroy_bitmap);
  for (BITMAP *&b : pow_up) release(b, destroy_bitmap);
  for (int i = 0; i < 4; i++) {
    release(blast[i], destroy_bitmap);
    release(fireball[i], destroy_bitmap);
  }
}
