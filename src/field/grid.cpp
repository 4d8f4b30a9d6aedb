#include "field/grid.h"

#include <cstdlib>

int set_grid[COLS * ROWS] = {};
int n_power = 0;
int tx = 0, ty = 0;

int random_colour() { return std::rand() % 4 + 1; }

void fill_field(bool clear_top) {
  for (int c = 0; c < COLS; c++)
    for (int r = 0; r < ROWS; r++) {
      if (r >= 7)
        cell(c, r) = random_colour();
      else if (clear_top)
        cell(c, r) = EMPTY;
    }
}

// Walking bottom-up, the cell just emptied is the next one tested, so
// everything above the lowest gap of a column falls exactly one row.
void drop() {
  for (int c = 0; c < COLS; c++)
    for (int r = ROWS - 1; r >= 1; r--)
      if (cell(c, r) == EMPTY) {
        cell(c, r) = cell(c, r - 1);
        cell(c, r - 1) = EMPTY;
      }
}

void slide_up() {
  for (int c = 0; c < COLS; c++) {
    for (int r = 1; r < ROWS; r++) {
      cell(c, r - 1) = cell(c, r);
      cell(c, r) = EMPTY;
    }
    cell(c, ROWS - 1) = random_colour();
  }
  if (n_power > 5) {  // a group of six or more earned a power-up
    const int k = std::rand() % COLS;
    cell(k, ROWS - 1) = std::rand() % 6 + 5;
    n_power = 0;
  }
  ty--;  // the cursor stays on its block as the field moves up
}
