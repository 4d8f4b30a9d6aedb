#include "store/scores.h"

#include <cstdio>

#include "store/save_file.h"

int highscore_e = 2000, highscore_n = 2000, highscore_h = 2000;

static const char *const scores_path = "KV scores.dat";

// Reads up to three numbers; returns how many were read.
static int read_scores(int (&best)[3]) {
  std::FILE *f = std::fopen(scores_path, "rb");
  if (!f) return 0;
  const int n = std::fscanf(f, "%i %i %i", &best[0], &best[1], &best[2]);
  std::fclose(f);
  return n > 0 ? n : 0;
}

void load_highscores() {
  int best[3] = {highscore_e, highscore_n, highscore_h};
  read_scores(best);
  highscore_e = best[0], highscore_n = best[1], highscore_h = best[2];
}

// Another copy of the game may have saved a better score since this one
// started: a best score in the file is never lowered.
bool save_highscores() {
  int *const mine[3] = {&highscore_e, &highscore_n, &highscore_h};
  int theirs[3] = {};
  recall_saved_file(scores_path);
  const int read = read_scores(theirs);
  for (int i = 0; i < read; i++)
    if (theirs[i] > *mine[i]) *mine[i] = theirs[i];
  char text[64];
  std::snprintf(text, sizeof text, "%i %i %i", highscore_e, highscore_n, highscore_h);
  return save_file(scores_path, text);
}
