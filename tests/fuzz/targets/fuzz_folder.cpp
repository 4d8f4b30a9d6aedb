#include "fuzz_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

static std::string scratch;
static std::vector<std::string> arguments;  // the rewritten argv's strings
static std::vector<char *> pointers;

static std::string absolute(const std::string &path) {
  std::error_code ignored;
  return path.empty() ? path : std::filesystem::absolute(path, ignored).string();
}

static std::string with_absolute_path(const std::string &arg) {
  if (arg.empty() || arg[0] != '-') return absolute(arg);
  for (const char *flag : {"-dict=", "-artifact_prefix=", "-exact_artifact_path="}) {
    const std::string f = flag;
    if (arg.compare(0, f.size(), f) != 0) continue;
    const std::string value = arg.substr(f.size());
    // A prefix names a folder when it ends in a slash: keep the slash.
    const bool folder = !value.empty() && value.back() == '/';
    return f + absolute(value) + (folder ? "/" : "");
  }
  return arg;
}

static void make_paths_absolute(int *argc, char ***argv) {
  arguments.push_back((*argv)[0]);
  for (int i = 1; i < *argc; i++) arguments.push_back(with_absolute_path((*argv)[i]));
  for (std::string &a : arguments) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  *argv = pointers.data();
}

static void remove_scratch() {
  std::error_code ignored;
  if (!scratch.empty()) std::filesystem::remove_all(scratch, ignored);
}

// Every save syncs its file: in memory (/dev/shm) that costs nothing, on a
// disk it would cost most of the run's speed.
void enter_scratch_folder(int *argc, char ***argv) {
  make_paths_absolute(argc, argv);
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
