#include "app/clock.h"

#include <allegro.h>

#include "app/resources.h"

std::atomic<std::int64_t> timer{0};
std::int64_t start_time = 0;
int loop_num = 0;
std::atomic<int> game_state{STATE_SPLASH};
std::atomic<bool> close_requested{false};
int scroll_t = 0;
int scrn_size = 0;
void (*sleep_ms)(unsigned int ms) = rest;

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

void wait_frame() {
  while (timer.load() < start_time + 20) sleep_ms(1);
}

void present_bitmap(BITMAP *bmp) {
  if (!screen) return;  // no window: a refused mode change must not crash the game
  if (scrn_size == 1)
    stretch_blit(bmp, screen, 0, 0, 320, 240, 0, 0, 640, 480);
  else
    blit(bmp, screen, 0, 0, 0, 0, 320, 240);
}

void present_buffer() { present_bitmap(buffer); }

void draw_background() {
  const int rise = (scroll_t / 2) % 197;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) draw_sprite(buffer, background, 197 * i, 197 * j - rise);
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
