// The game's globals that the data-file readers fill, with the game's own
// start values. The fuzzers link only the store, not the whole game (whose
// other files need Allegro and a screen); the headers keep the types honest.
#include "display/screen.h"
#include "field/rise.h"
#include "input/keys.h"

int scrn_size = 0;
int mode = 2;
int b_l = 82, b_r = 83, b_u = 84, b_d = 85, b_f = 75, b_p = 28;
