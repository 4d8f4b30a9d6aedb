// Pictures and fonts, loaded once at start-up and released once at quit.
#pragma once

struct BITMAP;
struct FONT;

extern BITMAP *buffer;       // 320x240 back buffer every screen draws into
extern BITMAP *credit_bar;   // 320x12 strip of the title's credits ticker
extern BITMAP *block[4];     // colour blocks 1 to 4
extern BITMAP *pow_up[3];    // area, band, and the colour-clear mark
extern BITMAP *n_block;      // the incoming row below the well
extern BITMAP *blast[4];     // blast stages (the fourth is never shown)
extern BITMAP *fireball[4];  // animated menu marker
extern BITMAP *background;   // background tile
extern FONT *reg_txt;        // small font
extern FONT *lrg_txt;        // large font

// Creates buffer (cleared to black) and credit_bar.
bool create_buffers();
// Loads every picture and both fonts in their fixed order, from the working
// folder. On a failure prints one line naming the file and returns false.
bool load_resources();
// Destroys whatever of the above exists and clears every handle.
void release_resources();
