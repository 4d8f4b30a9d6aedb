// Each step waits for the screen it leads to, not for a guessed time.
#include "game_steps.h"

#include <X11/keysym.h>

#include <algorithm>

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

cursor_place choose_target(const field_view &field, bool want_lone) {
  cursor_place best, lone;
  int best_size = 0;
  for (int c = 0; c < 8; ++c)
    for (int r = 3; r < 12; ++r) {
      field_view probe = field;
      probe.cursor.column = c;
      probe.cursor.row = r;
      const int size = count_cursor_group(probe);
      if (size == 1 && lone.column < 0) lone = probe.cursor;
      if (size > best_size) {
        best_size = size;
        best = probe.cursor;
      }
    }
  return want_lone && lone.column >= 0 ? lone : best;
}

bool read_still_field(game_session &s, field_view &field, int most_lift) {
  field_view last;
  bool have_last = false;
  return wait_for_picture(
      s,
      [&](const rgb_image &p) {
        if (!shows_live_game(p) || !shows_recharge_ready(p) || !read_field(p, field) ||
            field.cursor.lift > most_lift)
          return have_last = false;
        const bool still =
            have_last && field.cursor.lift == last.cursor.lift &&
            std::equal(&field.cells[0][0], &field.cells[0][0] + 8 * 12, &last.cells[0][0]);
        last = field;
        have_last = true;
        return still;
      },
      10000);
}

bool shoot(game_session &s, int before, int &after, rgb_image *picture) {
  return tap_key_until(
      s, XK_space, [&](const rgb_image &p) { return read_score(p, after) && after != before; },
      5000, 1200, picture);
}

bool shoot_checked(game_session &s, bool want_lone, int &score, std::string &why,
                   rgb_image *picture) {
  const long long deadline = now_ms() + 20000;
  while (now_ms() < deadline) {
    field_view field;
    if (!read_still_field(s, field)) return why = "the field never stood still with the bar full", false;
    const cursor_place target = choose_target(field, want_lone);
    if (target.column < 0) return why = "no block within the cursor's reach", false;
    if (!move_cursor_to(s, target.column, target.row))
      return why = "the cursor does not follow the arrow keys", false;
    if (!read_still_field(s, field)) return why = "the field never stood still with the bar full", false;
    // A push-up on the way moved everything: choose again.
    if (field.cursor.column != target.column || field.cursor.row != target.row) continue;
    const int group = count_cursor_group(field);
    if (group == 0) continue;
    int after = 0;
    if (!shoot(s, score, after, picture))
      return why = "fire on a block left the score at " + std::to_string(score), false;
    const int worth = group < 2 ? -10 : 10 * group * group;
    if (after - score != worth)
      return why = "a shot on a group of " + std::to_string(group) + " moved the score from " +
                   std::to_string(score) + " to " + std::to_string(after),
             false;
    score = after;
    return true;
  }
  return why = "no shot within 20 s", false;
}
