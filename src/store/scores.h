// "KV scores.dat": the best score of each difficulty.
#pragma once

void load_highscores();
// Keeps any better score the file already holds; false (after saying why)
// when the file could not be written.
bool save_highscores();
