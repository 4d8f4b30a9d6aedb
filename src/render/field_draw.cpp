#include "render/field_draw.h"

#include <allegro.h>

#include "core/clock.h"
#include "display/screen.h"
#include "core/resources.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "render/blend.h"

static void draw_cell(int code, int x, int y) {
  if (code >= 1 && code <= 4) {
    draw_sprite(buffer, block[code - 1], x, y);
  } else if (code == AREA_POWER || code == BAND_POWER) {
    trans_rect(buffer, x + 2, y + 2, x + 16, y + 16, makecol(0, 0, 0), 1);  // shadow
    draw_sprite(buffer, pow_up[code - AREA_POWER], x, y);
  } else if (code >= COLOUR_POWER && code <= 10) {
    trans_draw(buffer, block[code - COLOUR_POWER], x, y, 2);  // the colour it clears, faint
    draw_sprite(buffer, pow_up[2], x, y);
  } else if (code <= BLAST_1 && code >= BLAST_3) {
    draw_sprite(buffer, blast[-code - 2], x, y);
  }
}

// Row 1 occupied flashes in three strengths over 15 frames, row 2 alone in
// two over 12; blasts and empty cells never warn.
static int warning_strength(int c) {
  if (cell(c, 1) > EMPTY) return (loop_num / 5) % 3 + 1;
  if (cell(c, 2) > EMPTY) return (loop_num / 6) % 2 + 1;
  return 0;
}

static void draw_column(int c) {
  const int x = 10 + 18 * c;
  for (int r = 0; r < ROWS; r++) draw_cell(cell(c, r), x, 10 + 18 * r - lift);
  if (lift > 0) masked_blit(n_block, buffer, 0, 0, x, 226 - lift, 18, lift);
  if (const int s = warning_strength(c)) trans_rect(buffer, x, 11, x + 17, 224, makecol(255, 0, 0), s);
}

static void draw_recharge_bar() {
  rectfill(buffer, 190, 100, 270 - recharge / 2, 110, makecol(255, 0, 0));
  if (recharge == 0 && (loop_num / 2) % 2 == 0)
    trans_rect(buffer, 190, 100, 270, 110, makecol(255, 255, 255), 2);
  rect(buffer, 190, 100, 270, 110, makecol(255, 255, 255));
}

void draw_field() {
  const int white = makecol(255, 255, 255);
  draw_background();
  trans_rect(buffer, 10, 10, 154, 226, makecol(0, 0, 0), 2);
  trans_rect(buffer, 10, 10, 154, 64, makecol(0, 0, 0), 1);
  for (int c = 0; c < COLS; c++) draw_column(c);
  rect(buffer, 10 + 18 * tx, 10 + 18 * ty - lift, 27 + 18 * tx, 27 + 18 * ty - lift, white);
  rect(buffer, 8, 8, 155, 227, white);
  draw_recharge_bar();
  textprintf_centre_ex(buffer, lrg_txt, 240, 130, white, -1, "SCORE:");
  textprintf_right_ex(buffer, lrg_txt, 300, 160, white, -1, "%i", score);
}
