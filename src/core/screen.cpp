#include "core/screen.h"

#include <allegro.h>

#include <cstdint>

#include "core/clock.h"
#include "core/frame_log.h"
#include "core/resources.h"

int scrn_size = 0;

// Every pixel doubled straight into the screen's rows: Allegro's general
// stretch_blit cost more than all of a menu frame's drawing.
static void present_doubled(BITMAP *bmp) {
  acquire_bitmap(screen);
  for (int y = 0; y < 240; y++) {
    const std::uint32_t *from = reinterpret_cast<const std::uint32_t *>(bmp->line[y]);
    for (int copy = 0; copy < 2; copy++) {
      std::uint32_t *to = reinterpret_cast<std::uint32_t *>(bmp_write_line(screen, 2 * y + copy));
      for (int x = 0; x < 320; x++) to[2 * x] = to[2 * x + 1] = from[x];
    }
  }
  bmp_unwrite_line(screen);
  release_bitmap(screen);
}

void present_bitmap(BITMAP *bmp) {
  if (!screen) return;  // no window: a refused mode change must not crash the game
  const bool same_depth = bitmap_color_depth(screen) == 32 && bitmap_color_depth(bmp) == 32;
  if (scrn_size == 1 && same_depth && screen->w >= 640 && screen->h >= 480)
    present_doubled(bmp);
  else if (scrn_size == 1)
    stretch_blit(bmp, screen, 0, 0, 320, 240, 0, 0, 640, 480);
  else
    blit(bmp, screen, 0, 0, 0, 0, 320, 240);
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
