#include "field/rise.h"

#include "core/clock.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/notices.h"
#include "field/shot.h"

int mode = 2;
int spd = 18;
int spd_up = 0;
int lift = 0;
int nxt_lvl = 0;
int level = 1;
bool game_over = false;

int rise_divisor(int difficulty) { return difficulty == 1 ? 20 : difficulty == 3 ? 14 : 18; }

// lift, n_power, reload, the latches and the effects carry over from the
// previous game on purpose.
void new_game() {
  spd_up = 0;
  level = 1;
  nxt_lvl = 15 * mode;
  recharge = 0;
  score = 0;
  game_over = false;
  loop_num = 0;
  tx = 0;
  ty = 0;
  fill_field(true);
}

static void level_up() {
  level++;
  nxt_lvl = level * mode * 4;
  if (notice_level_up) notice_level_up();
  spd_up += 2;
}

static bool top_row_occupied() {
  for (int c = 0; c < COLS; c++)
    if (cell(c, 0) > EMPTY) return true;
  return false;
}

static void push_up() {
  slide_up();
  lift = 0;
  if (--nxt_lvl < 1) level_up();
  if (spd - spd_up <= 0) spd_up = 1 - spd;  // the pace falls back to 2*spd - 1
  if (top_row_occupied()) game_over = true;
}

void game_update() {
  input_step();
  if (loop_num % 3 == 0) {
    drop();
    clean_blast();
  }
  if (loop_num % (spd - spd_up) == 0) lift += 2;
  if (lift > 17) push_up();
  clamp_cursor();
}
