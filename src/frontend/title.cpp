#include <allegro.h>

#include "core/clock.h"
#include "core/state.h"
#include "display/screen.h"
#include "core/resources.h"
#include "field/grid.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "render/blend.h"

int credit_scroll = 0;

// The fifth line repeats the first so the wrap from offset 47 to 0 shows no jump.
static const char *const credit_lines[5] = {
    "CODING & GAME DESIGN: TAVELO",
    "ORIGINAL ART: BRISOM",
    "CO-DESIGN: NEMBRA",
    "SPECIAL THANKS: EVERYONE WHO PLAYTESTED",
    "CODING & GAME DESIGN: TAVELO",
};

void enter_title(menu &m) {
  rebuild_menu(m, {{"START", STATE_GAME, 0}, {"OPTIONS", STATE_OPTIONS, 0}, {"QUIT", STATE_QUIT, 0}});
  ty = 0;
  credit_scroll = 0;
}

int ticker_offset() { return (credit_scroll / 3) % 48; }

static void draw_ticker() {
  trans_rect(buffer, 0, 220, 320, 232, makecol(0, 0, 0), 2);
  clear_to_color(credit_bar, makecol(255, 0, 255));
  const int off = ticker_offset();
  for (int i = 0; i < 5; i++)
    textprintf_centre_ex(credit_bar, reg_txt, 160, 1 + 12 * i - off, makecol(255, 255, 255), -1,
                         "%s", credit_lines[i]);
  masked_blit(credit_bar, buffer, 0, 0, 0, 220, 320, 12);
}

void title_frame(menu &m) {
  if (key[KEY_ESC] && loop_num > 50) set_state(STATE_QUIT);
  read_menu_keys(m, ty);
  if (fire_accepted()) {
    const int value = m.entries[ty].value;
    set_state(value);
    if (value == STATE_OPTIONS) ty = 0;
  }
  draw_heading("KROVE VESTIN");
  draw_ticker();
  draw_menu_list(m, 125, ty);
  end_menu_frame();
  // The ticker moves one line in 36 frames, then rests for 144.
  if ((loop_num / 3) % 60 < 12) credit_scroll++;
}

void run_title(menu &m) {
  while (game_state == STATE_TITLE) title_frame(m);
}
