#include "fuzz_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

static std::string scratch;

static void remove_scratch() {
  std::error_code ignored;
  if (!scratch.empty()) std::filesystem::remove_all(scratch, ignored);
}

// Every save syncs its file: in memory (/dev/shm) that costs nothing, on a
// disk it would cost most of the run's speed.
void enter_scratch_folder() {
  const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = std::string(base) + "/kv-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) fail("cannot make a scratch folder", 0);
  scratch = pattern;
  if (chdir(scratch.c_str()) != 0) fail("cannot enter the scratch folder", 0);
  std::atexit(remove_scratch);
}

void write_input(const char *name, const std::uint8_t *data, std::size_t size) {
  std::FILE *f = std::fopen(name, "wb");
  if (!f) fail("cannot write the input file", 0);
  if (size && std::fwrite(data, 1, size, f) != size) fail("short write of the input file", 0);
  if (std::fclose(f) != 0) fail("cannot close the input file", 0);
}

void fail(const char *what, int value) {
  std::fprintf(stderr, "kv-fuzz: %s (%d)\n", what, value);
  std::abort();
}
