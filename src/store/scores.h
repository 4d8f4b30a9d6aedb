// "KV scores.dat": the best score of each difficulty.
#pragma once

void load_highscores();
void save_highscores();
