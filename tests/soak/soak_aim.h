// Where a good player would shoot next: a power-up, else the largest
// same-coloured group in reach of the cursor (rows 3 to 11), unless a column
// has grown into row 4 and no group of four waits: then its top block.
#pragma once
#include "field/grid.h"

struct aim {
  int column = -1, row = -1;  // -1: nothing worth a shot
  int group = 0;              // the group's size; 0 for a power-up
};

aim best_shot();
// The size of the group of (c, r) in cells, held column by column as
// set_grid is; seen marks its cells.
int group_size(const int *cells, int c, int r, bool seen[COLS][ROWS]);
