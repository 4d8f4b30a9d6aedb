// "KV scores.dat": the best score of each difficulty.
#pragma once

extern int highscore_e, highscore_n, highscore_h;  // best score of Easy, Normal, Hard

void load_highscores();
// Keeps any better score the file already holds; false (after saying why)
// when the file could not be written.
bool save_highscores();
