// Whatever "KV scores.dat" holds, reading it must not crash, and the three
// best scores it gives must come back unchanged through a save and a load.
#include <cstdint>

#include "frontend/screens.h"
#include "fuzz_folder.h"
#include "store/scores.h"

namespace {

const char *const scores_file = "KV scores.dat";

void built_in_scores() { highscore_e = highscore_n = highscore_h = 2000; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  enter_scratch_folder(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  write_input(scores_file, data, size);
  built_in_scores();
  load_highscores();

  const int e = highscore_e, n = highscore_n, h = highscore_h;
  save_highscores();
  built_in_scores();
  load_highscores();
  if (highscore_e != e) fail("the Easy best changed over save and load", highscore_e);
  if (highscore_n != n) fail("the Normal best changed over save and load", highscore_n);
  if (highscore_h != h) fail("the Hard best changed over save and load", highscore_h);
  return 0;
}
