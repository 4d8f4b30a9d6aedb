#include "display/screen.h"

#include <allegro.h>

#include <algorithm>
#include <cstdint>

#include "core/clock.h"
#include "core/frame_log.h"
#include "core/resources.h"
#include "display/window.h"
#include "input/pad.h"

int scrn_size = 0;

picture_place place_picture(int width, int height, bool filling) {
  if (!filling) return {1 + scrn_size, 0, 0};
  const int factor = std::max(1, std::min(width / 320, height / 240));
  return {factor, std::max(0, (width - 320 * factor) / 2), std::max(0, (height - 240 * factor) / 2)};
}

// Every pixel repeated factor times straight into the screen's rows, the
// first row of each picture row written and the others copied from it:
// Allegro's general stretch_blit cost more than all of a menu frame's drawing.
static void present_scaled(BITMAP *bmp, const picture_place &at) {
  const int f = at.factor;
  acquire_bitmap(screen);
  for (int y = 0; y < 240; y++) {
    const std::uint32_t *from = reinterpret_cast<const std::uint32_t *>(bmp->line[y]);
    std::uint32_t *first = reinterpret_cast<std::uint32_t *>(bmp_write_line(screen, at.y + f * y)) + at.x;
    for (int x = 0; x < 320; x++) std::fill_n(first + f * x, f, from[x]);
    for (int copy = 1; copy < f; copy++) {
      std::uint32_t *to = reinterpret_cast<std::uint32_t *>(bmp_write_line(screen, at.y + f * y + copy)) + at.x;
      std::copy_n(first, 320 * f, to);
    }
  }
  bmp_unwrite_line(screen);
  release_bitmap(screen);
}

// Every frame of every screen, the pause's and the bands' included, comes
// through here: the one place the pads are read.
void present_bitmap(BITMAP *bmp) {
  switch_on_request();
  poll_pads();  // after a switch, which may have let the pads' keys go
  if (!screen) return;  // no window: a refused mode change must not crash the game
  const picture_place at = place_picture(screen->w, screen->h, fullscreen);
  const bool same_depth = bitmap_color_depth(screen) == 32 && bitmap_color_depth(bmp) == 32;
  const bool fits = at.x + 320 * at.factor <= screen->w && at.y + 240 * at.factor <= screen->h;
  if (at.factor == 1)
    blit(bmp, screen, 0, 0, at.x, at.y, 320, 240);
  else if (same_depth && fits)
    present_scaled(bmp, at);
  else
    stretch_blit(bmp, screen, 0, 0, 320, 240, at.x, at.y, 320 * at.factor, 240 * at.factor);
  note_frame(MARK_PRESENT);
}

void present_buffer() { present_bitmap(buffer); }

// True when the picture has no magenta, see-through pixel.
static bool has_no_mask(BITMAP *bmp) {
  const int mask = bitmap_mask_color(bmp);
  for (int y = 0; y < bmp->h; y++)
    for (int x = 0; x < bmp->w; x++)
      if (getpixel(bmp, x, y) == mask) return false;
  return true;
}

// Masking every pixel was the biggest cost of a menu frame; a background
// with nothing to mask out looks the same copied. Pictures never change
// once loaded, so each one is looked at once.
void draw_background() {
  static BITMAP *looked_at = nullptr;
  static bool opaque = false;
  if (looked_at != background) {
    looked_at = background;
    opaque = has_no_mask(background);
  }
  const int rise = (scroll_t / 2) % 197;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) {
      if (opaque)
        blit(background, buffer, 0, 0, 197 * i, 197 * j - rise, 197, 197);
      else
        draw_sprite(buffer, background, 197 * i, 197 * j - rise);
    }
}

void end_menu_frame() {
  present_buffer();
  draw_background();
  wait_frame();
  loop_num++;
  scroll_t++;
}
