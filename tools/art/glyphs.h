// Our hand-drawn 5x9 letter shapes: capitals and digits stand 7 rows tall
// on row 6, lower case is 5 rows with ascenders, descenders use rows 7-8.
#pragma once

const int glyph_rows = 9;
const int glyph_cols = 5;
const int first_char = 32;
const int last_char = 126;

// Rows of '#' (ink) and '.' (paper), top to bottom; missing rows are blank.
// Returns nullptr for characters outside 32..126.
const char *const *glyph_art(int ch);
