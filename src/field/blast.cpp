#include "field/blast.h"

#include <allegro.h>

#include "core/state.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/notices.h"

int score = 0;
int bonus = 0;

void explode(int column, int row, int colour) {
  if (column > 0 && cell(column - 1, row) == colour) cell(column - 1, row) = MARKED;
  if (column < COLS - 1 && cell(column + 1, row) == colour) cell(column + 1, row) = MARKED;
  if (row > 0 && cell(column, row - 1) == colour) cell(column, row - 1) = MARKED;
  if (row < ROWS - 1 && cell(column, row + 1) == colour) cell(column, row + 1) = MARKED;
}

// Esc and the quit state are read again after every cell (the key array and
// game_state change behind the game's back): either stops the spreading once
// the pass under way is finished.
static bool stop_requested() { return key[KEY_ESC] || game_state == STATE_QUIT; }

int explosion_run(int colour) {
  bool more = colour != 0;
  while (more) {
    more = false;
    for (int c = 0; c < COLS; c++)
      for (int r = 0; r < ROWS; r++) {
        if (cell(c, r) == MARKED) {
          explode(c, r, colour);
          cell(c, r) = BLAST_1;
          more = true;
        }
        if (stop_requested()) more = false;
      }
  }
  int count = 0;
  for (int &v : set_grid) {
    if (v == MARKED) v = BLAST_1;
    if (v == BLAST_1) count++;
  }
  return count;
}

void clean_blast() {
  for (int &v : set_grid)
    if (v < 0 && --v == BLAST_3 - 1) v = EMPTY;
}

void colour_shot(int colour) {
  cell(tx, ty) = MARKED;
  bonus = explosion_run(colour);
  if (bonus > n_power) n_power = bonus;
  const int change = bonus < 2 ? -10 : 10 * bonus * bonus;
  score += change;
  if (notice_score) notice_score(18 * tx + 19, 18 * ty - lift + 19, change);
}
