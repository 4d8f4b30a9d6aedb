// Each step waits for the screen it leads to, not for a guessed time.
#include "game_steps.h"

#include <X11/keysym.h>

#include "game_screens.h"

bool skip_to_title(game_session &s, unsigned long fire_keysym, rgb_image *title) {
  return hold_key_until(s, fire_keysym, shows_title, 8000, title);
}

bool start_play(game_session &s, unsigned long fire_keysym) {
  const picture_check in_game = [](const rgb_image &p) {
    return shows_live_game(p) || shows_band_over_game(p);
  };
  // The title takes fire from its frame 31; keeping it held gets there.
  if (!hold_key_until(s, fire_keysym, in_game, 5000)) return false;
  // The banner holds its text for a whole second: polling cannot miss it.
  // Under Wine it can: the text is drawn once before that second, and Wine
  // may put a window's new picture on the X screen only with the next one.
  const picture_check banner = [](const rgb_image &p) {
    return testing_windows_game() ? shows_band_over_game(p) : shows_banner(p, "LEVEL 1");
  };
  if (!wait_for_picture(s, banner, 5000)) return false;
  return wait_for_picture(s, shows_live_game, 5000);
}

bool give_up_play(game_session &s) {
  // A tap, not a hold: an Esc still down when the table opens would leave it
  // at once. A second tap lands in the banner, where no key is read.
  return tap_key_until(
      s, XK_Escape, [](const rgb_image &p) { return shows_banner(p, "GAME OVER"); }, 5000, 1000);
}
