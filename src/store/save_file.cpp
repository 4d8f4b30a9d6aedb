#include "store/save_file.h"

#include <cstdio>
#include <string>
#include <unistd.h>

// The new contents go to a temporary file in the same folder, which is made
// durable and then renamed over the old file in one step: a full disk or a
// killed process leaves either the old file or the new one, never half of one.
bool save_file(const char *path, const std::string &text) {
  const std::string tmp = std::string(path) + ".tmp";
  std::FILE *f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(tmp.c_str(), path) == 0) return true;
  std::remove(tmp.c_str());
  return false;
}
