#include "store/settings.h"

#include <cstdio>

#include "core/screen.h"
#include "field/rise.h"
#include "core/keys.h"
#include "store/save_file.h"

int sound = 1;

static const char *const settings_path = "KV settings.dat";

// A value that would break the game (a key outside the key table, an unknown
// window size or difficulty) leaves the setting as it was.
static void take_if(int &setting, int value, int lowest, int highest) {
  if (value >= lowest && value <= highest) setting = value;
}

void load_settings() {
  std::FILE *f = std::fopen(settings_path, "rb");
  if (!f) return;
  // Unread values keep what they had: input stops at the first non-number.
  int v[9] = {mode, scrn_size, sound, b_u, b_d, b_l, b_r, b_f, b_p};
  const int read = std::fscanf(f, "%i %i %i", &v[0], &v[1], &v[2]);
  if (read == 3) (void)!std::fscanf(f, " %i %i %i %i %i %i", &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]);
  std::fclose(f);
  if (read < 1) return;
  take_if(mode, v[0], 1, 3);
  take_if(scrn_size, v[1], 0, 1);
  sound = v[2];
  int *const bindings[6] = {&b_u, &b_d, &b_l, &b_r, &b_f, &b_p};
  for (int i = 0; i < 6; i++) take_if(*bindings[i], v[3 + i], 0, KEY_TABLE_SIZE - 1);
}

bool save_settings() {
  char text[160];
  std::snprintf(text, sizeof text, "%i %i %i %i %i %i %i %i %i", mode, scrn_size, sound, b_u, b_d,
                b_l, b_r, b_f, b_p);
  return save_file(settings_path, text);
}
