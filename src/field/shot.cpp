#include "field/shot.h"

#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/notices.h"
#include "input/keys.h"

int recharge = 0;
int reload = 0;
bool key_fire = false;

void clamp_cursor() {
  if (tx < 0) tx = 0;
  if (tx > COLS - 1) tx = COLS - 1;
  if (ty < 3) ty = 3;  // rows 0 to 2 can never be aimed at
  if (ty > ROWS - 1) ty = ROWS - 1;
}

static void start_recharge() {
  recharge = 160;
  reload = 4;
}

static void fire_at_cursor() {
  const int code = cell(tx, ty);
  if (code >= AREA_POWER) {
    powerup_run(code - 4);
    if (notice_powerup) notice_powerup(18 * tx + 19, 18 * ty - lift + 19);
    start_recharge();  // no latch: a held fire key shoots again once recharged
  } else {
    start_recharge();
    colour_shot(code);
    key_fire = true;
  }
}

void input_step() {
  if (poll_repeat_key(b_l, key_left, t_left)) tx--;
  if (poll_repeat_key(b_r, key_right, t_right)) tx++;
  if (poll_repeat_key(b_u, key_up, t_up)) ty--;
  if (poll_repeat_key(b_d, key_down, t_down)) ty++;
  clamp_cursor();
  if (key_down_now(b_f) && !key_fire && recharge <= 0 && cell(tx, ty) > EMPTY) fire_at_cursor();
  if (!key_down_now(b_f)) key_fire = false;
  recharge -= reload;
  if (recharge < 0) recharge = 0;
}

static void blast_area(int c0, int r0) {
  for (int c = c0 - 2; c <= c0 + 2; c++)
    for (int r = r0 - 2; r <= r0 + 2; r++)
      if (c >= 0 && c < COLS && r >= 0 && r < ROWS) cell(c, r) = BLAST_1;
}

static void blast_band(int c0) {
  for (int c = c0 - 1; c <= c0 + 1; c++)
    if (c >= 0 && c < COLS)
      for (int r = 0; r < ROWS; r++)
        if (cell(c, r) >= 0) cell(c, r) = BLAST_1;
}

static void blast_colour(int colour) {
  for (int &v : set_grid)
    if (v == colour) v = BLAST_1;
}

void powerup_run(int type) {
  cell(tx, ty) = EMPTY;
  if (type == 1)
    blast_area(tx, ty);
  else if (type == 2)
    blast_band(tx);
  else if (type >= 3)
    blast_colour(type - 2);
}
