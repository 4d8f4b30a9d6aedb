// Whatever "KV settings.dat" holds, the game must come up with settings it
// can run on: a difficulty it knows, a window size it can open, and keys
// inside the key table. What was read must also survive a save and a load.
#include <cstdint>
#include <initializer_list>

#include "display/screen.h"
#include "field/rise.h"
#include "input/keys.h"
#include "fuzz_folder.h"
#include "store/settings.h"

namespace {

const char *const settings_file = "KV settings.dat";

// The values before the file is read, as at start-up.
void built_in_settings() {
  mode = 2, scrn_size = 0, sound = 1;
  b_u = 84, b_d = 85, b_l = 82, b_r = 83, b_f = 75, b_p = 28;
}

void check_in_range(int value, int lowest, int highest, const char *what) {
  if (value < lowest || value > highest) fail(what, value);
}

struct snapshot {
  int v[9];
};

snapshot take() { return {{mode, scrn_size, sound, b_u, b_d, b_l, b_r, b_f, b_p}}; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  enter_scratch_folder(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  write_input(settings_file, data, size);
  built_in_settings();
  load_settings();

  check_in_range(mode, 1, 3, "difficulty outside 1-3");
  check_in_range(scrn_size, 0, 1, "window size outside 0-1");
  for (int binding : {b_u, b_d, b_l, b_r, b_f, b_p})
    check_in_range(binding, 0, KEY_TABLE_SIZE - 1, "key binding outside the key table");

  // What the game took from the file, it writes back and reads again unchanged.
  const snapshot read = take();
  save_settings();
  built_in_settings();
  load_settings();
  const snapshot again = take();
  for (int i = 0; i < 9; i++)
    if (read.v[i] != again.v[i]) fail("a setting changed over save and load, position", i + 1);
  return 0;
}
