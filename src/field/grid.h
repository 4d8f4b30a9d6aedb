// The well: 8 columns by 12 rows of cell codes, gravity and the push-up.
#pragma once

constexpr int COLS = 8;
constexpr int ROWS = 12;

// Cell codes
constexpr int EMPTY = 0;          // 1..4 colour blocks
constexpr int AREA_POWER = 5;     // clears the 5x5 square around it
constexpr int BAND_POWER = 6;     // clears the three columns around it
constexpr int COLOUR_POWER = 7;   // 7..10 clear every block of colour code - 6
constexpr int MARKED = -1;        // only while a group blast is being found
constexpr int BLAST_1 = -2;       // -2, -3, -4: the blast stages
constexpr int BLAST_3 = -4;

extern int set_grid[COLS * ROWS];  // column by column: element c*12 + r, row 0 at the top
extern int n_power;                // largest group blasted since the last power-up came in
extern int tx, ty;                 // cursor column and row; menu selection indexes

inline int &cell(int c, int r) { return set_grid[c * ROWS + r]; }

int random_colour();
// Rows 7 to 11 get random colours, column by column; rows 0 to 6 are
// emptied when clear_top is set (a new game), left alone otherwise (start-up).
void fill_field(bool clear_top);
void drop();      // one step of gravity
void slide_up();  // the whole field up one row, a new bottom row, maybe a power-up
