#include "app/clock.h"

#include <allegro.h>
#include <time.h>

#include "app/frame_log.h"
#include "app/resources.h"

std::atomic<std::int64_t> timer{0};
std::int64_t start_time = 0;
int loop_num = 0;
std::atomic<int> game_state{STATE_SPLASH};
std::atomic<bool> close_requested{false};
int scroll_t = 0;
int scrn_size = 0;
void (*sleep_ms)(unsigned int ms) = sleep_on_timer;

void update_timer() { timer.fetch_add(1, std::memory_order_relaxed); }

void quit_game() {
  close_requested.store(true);
  game_state.store(STATE_QUIT);
}

// The flag is read after the store: if the close button came in between,
// its 6 is written again; if it comes later, its own store of 6 stands.
void set_state(int state) {
  game_state.store(state);
  if (close_requested.load()) game_state.store(STATE_QUIT);
}

// rest(1) twenty times a frame woke the game a thousand times a second, each
// wake-up costing about as much as drawing a menu, and ended the frame
// anywhere up to a millisecond after its tick. One long rest instead, but
// it now and then wakes a millisecond or two late, so it stops three short
// of the tick; 1 ms steps bring the wait to the last millisecond and quarter
// millisecond naps find the tick.
void sleep_on_timer(unsigned int ms) {
  const std::int64_t until = timer.load() + ms;
  if (ms > 3) rest(ms - 3);
  const timespec step = {0, 1000000}, nap = {0, 250000};
  // Bounded, so a stopped timer cannot hang the game; callers test timer again.
  for (int i = 0; i < 60; i++) {
    const std::int64_t left = until - timer.load();
    if (left <= 0) return;
    nanosleep(left >= 2 ? &step : &nap, nullptr);
  }
}

// Never ends before 20 ms have passed since start_time; sleeps, never spins.
void wait_frame() {
  for (std::int64_t left; (left = start_time + 20 - timer.load()) > 0;)
    sleep_ms(static_cast<unsigned int>(left));
}

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

bool set_window_size() {
  const int w = 320 * (1 + scrn_size), h = 240 * (1 + scrn_size);
  return set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, 0) == 0;
}
