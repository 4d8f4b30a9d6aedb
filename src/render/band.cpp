#include "render/band.h"

#include <allegro.h>

#include <cstdio>

#include "core/clock.h"
#include "platform/desktop.h"
#include "core/state.h"
#include "display/screen.h"
#include "core/frame_log.h"
#include "core/resources.h"
#include "field/rise.h"
#include "input/keys.h"
#include "input/pad.h"
#include "render/blend.h"

bool key_pause = false;

void band_frame(BITMAP *t, int n) {
  start_time = timer;
  blit(buffer, t, 0, 0, 0, 0, 320, 240);
  trans_rect(t, 0, 120 - n, 320, 120 + n, makecol(0, 0, 0), 3);
  present_bitmap(t);
  wait_frame();
}

void band_transition(BITMAP *t, bool growing) {
  if (growing)
    for (int n = 0; n <= 24; n += 2) band_frame(t, n);
  else
    for (int n = 26; n >= 2; n -= 2) band_frame(t, n);
}

// Band in, the text held for a second on the last band, band out. Without a
// temporary bitmap the banner is skipped; the caller's state changes stand.
static void run_banner(const char *text) {
  BITMAP *t = create_bitmap(320, 240);
  if (!t) return;
  band_transition(t, true);
  textprintf_centre_ex(t, lrg_txt, 160, 105, makecol(255, 255, 255), -1, "%s", text);
  present_bitmap(t);
  note_frame(MARK_HOLD);
  sleep_ms(1000);
  band_transition(t, false);
  destroy_bitmap(t);
}

void show_level() {
  char text[32];
  std::snprintf(text, sizeof text, "LEVEL %i", level);
  run_banner(text);
}

void game_over_step() {
  if (!game_over) return;
  run_banner("GAME OVER");
  set_state(STATE_GAME_OVER);
}

static void draw_pause(BITMAP *t) {
  const int white = makecol(255, 255, 255);
  blit(buffer, t, 0, 0, 0, 0, 320, 240);
  trans_rect(t, 0, 95, 320, 145, makecol(0, 0, 0), 3);
  textprintf_centre_ex(t, lrg_txt, 160, 100, white, -1, "GAME PAUSED");
  textprintf_centre_ex(t, reg_txt, 160, 132, white, -1, "PRESS AGAIN TO UNPAUSE");
  present_bitmap(t);
}

// The pause begins on a fresh press; to resume the key must be let go and
// pressed again. Esc ends the game, the close button ends the pause.
static void run_pause() {
  BITMAP *t = create_bitmap(320, 240);
  key_pause = true;
  if (t) band_transition(t, true);
  for (;;) {
    if (!key_pause && key_down_now(b_p)) break;
    if (game_state == STATE_QUIT) break;
    start_time = timer;
    if (t) draw_pause(t);
    if (!key_down_now(b_p)) key_pause = false;
    if (key[KEY_ESC]) {
      game_over = true;
      break;
    }
    wait_frame();
  }
  if (t) {
    band_transition(t, false);
    destroy_bitmap(t);
  }
}

// A window that lost the focus, or a pad pulled out, pauses as a fresh
// press of the pause key would: the player is away, and the well must not
// rise meanwhile.
void pause_step() {
  const bool away = focus_lost.exchange(false) || pad_lost;
  pad_lost = false;
  if ((key_down_now(b_p) && !key_pause) || away) {
    run_pause();
    focus_lost = pad_lost = false;  // lost again while paused: the pause has served
  }
  key_pause = key_down_now(b_p);
}
