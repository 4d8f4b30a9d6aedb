#include <allegro.h>

#include "core/clock.h"
#include "core/state.h"
#include "display/screen.h"
#include "display/window.h"
#include "core/resources.h"
#include "input/keys.h"
#include "frontend/screens.h"

// Whether the fire key that chose this screen was still down as the window
// switched: the switch takes the focus away for a moment and the library
// forgets the keys that are down, so the key is read before it.
static bool fire_held_at_switch = false;

// Switches the window size at once. If the new size is refused the old one
// is set back; if even that fails there is nothing to draw on, so the game
// quits as the close button would, through the quit sequence that keeps its
// settings and scores.
void enter_screen_size() {
  fire_held_at_switch = key_down_now(b_f);
  if (!open_window((scrn_size + 1) % 2, scrn_size)) quit_game();
}

void screen_size_frame() {
  if (key[KEY_ESC]) set_state(STATE_OPTIONS);
  start_time = timer;
  const int white = makecol(255, 255, 255);
  textprintf_centre_ex(buffer, reg_txt, 160, 110, white, -1, "Screen size changed.");
  textprintf_centre_ex(buffer, reg_txt, 160, 130, white, -1, "Press fire.");
  end_menu_frame();
}

// A fire key still held from the options menu ends the screen before its first frame.
void run_screen_size() {
  if (fire_held_at_switch) return;
  while (!key_down_now(b_f) && game_state == STATE_SCREEN_SIZE) screen_size_frame();
}
