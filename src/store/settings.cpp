#include "store/settings.h"

#include <cstdio>

#include "display/screen.h"
#include "field/rise.h"
#include "input/keys.h"
#include "store/save_file.h"

int sound = 1;

static const char *const settings_path = "KV settings.dat";
static const int setting_count = 9;

// The nine settings in the file's order.
static int *const settings[setting_count] = {&mode, &scrn_size, &sound, &b_u, &b_d, &b_l, &b_r, &b_f, &b_p};

// The settings as this copy last read or wrote them (start-up reads them
// before anything is saved): a value that differs from its place here was
// changed by this copy since.
static int seen[setting_count];

// A value that would break the game (a key outside the key table, an unknown
// window size or difficulty) leaves the setting as it was.
static void take_if(int &setting, int value, int lowest, int highest) {
  if (value >= lowest && value <= highest) setting = value;
}

// What the file holds now, laid over v as a start-up reads it: a value the
// file lacks or the game cannot use leaves v's.
static void read_settings(int (&v)[setting_count]) {
  std::FILE *f = std::fopen(settings_path, "rb");
  if (!f) return;
  // Unread values keep what they had: input stops at the first non-number.
  int in[setting_count];
  for (int i = 0; i < setting_count; i++) in[i] = v[i];
  const int read = std::fscanf(f, "%i %i %i", &in[0], &in[1], &in[2]);
  if (read == 3) (void)!std::fscanf(f, " %i %i %i %i %i %i", &in[3], &in[4], &in[5], &in[6], &in[7], &in[8]);
  std::fclose(f);
  if (read < 1) return;
  take_if(v[0], in[0], 1, 3);
  take_if(v[1], in[1], 0, 1);
  v[2] = in[2];
  for (int i = 3; i < setting_count; i++) take_if(v[i], in[i], 0, KEY_TABLE_SIZE - 1);
}

static void note_seen() {
  for (int i = 0; i < setting_count; i++) seen[i] = *settings[i];
}

void load_settings() {
  int v[setting_count];
  for (int i = 0; i < setting_count; i++) v[i] = *settings[i];
  read_settings(v);
  for (int i = 0; i < setting_count; i++) *settings[i] = v[i];
  note_seen();
}

// Another copy of the game may have saved settings since this one read
// them: only what this copy changed since is written over the file's.
bool save_settings() {
  recall_saved_file(settings_path);
  int out[setting_count];
  for (int i = 0; i < setting_count; i++) out[i] = *settings[i];
  read_settings(out);
  for (int i = 0; i < setting_count; i++)
    if (*settings[i] != seen[i]) out[i] = *settings[i];
  char text[160];
  std::snprintf(text, sizeof text, "%i %i %i %i %i %i %i %i %i", out[0], out[1], out[2], out[3], out[4],
                out[5], out[6], out[7], out[8]);
  const bool saved = save_file(settings_path, text);
  if (saved) note_seen();
  return saved;
}
