#include "store/scores.h"

#include <cstdio>

#include "frontend/screens.h"
#include "store/save_file.h"

static const char *const scores_path = "KV scores.dat";

void load_highscores() {
  std::FILE *f = std::fopen(scores_path, "rb");
  if (!f) return;
  (void)std::fscanf(f, "%i %i %i", &highscore_e, &highscore_n, &highscore_h);
  std::fclose(f);
}

void save_highscores() {
  char text[64];
  std::snprintf(text, sizeof text, "%i %i %i", highscore_e, highscore_n, highscore_h);
  save_file(scores_path, text);
}
