#include "store/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/report.h"

int (*close_file)(int fd) = close;

// Where the new contents go: through a link to the file it names, so the
// link stays a link. A dangling link is written through in place.
static std::string save_target(const char *path) {
  struct stat st;
  if (lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char real[PATH_MAX];
  return realpath(path, real) ? real : path;
}

static bool write_all(int fd, const std::string &text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return fsync(fd) == 0;
}

static bool report(const char *path, int error) {
  return report_line("cannot save \"%s\": %s", path, system_reason(error).c_str());
}

// The plain write the game always did: truncate and write.
static bool write_in_place(const char *path, const std::string &target, const std::string &text) {
  const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return report(path, errno);
  const bool ok = write_all(fd, text);
  const int error = errno;
  if (close_file(fd) != 0 && ok) return report(path, errno);
  return ok || report(path, error);
}

// The new contents are made durable in a temporary file of their own, then
// renamed over the old file in one step: a full disk, a killed process or a
// second copy of the game saving at the same moment leaves the old file or
// a new one, never half of one.
bool save_file(const char *path, const std::string &text) {
  const std::string target = save_target(path);
  std::string tmp = target + ".XXXXXX";
  const int fd = mkstemp(tmp.data());
  // Refused, not failed: the folder may take no new file while the file
  // itself is writable. A full disk must not get its old file truncated.
  if (fd < 0 && (errno == EACCES || errno == EPERM)) return write_in_place(path, target, text);
  if (fd < 0) return report(path, errno);
  struct stat old;
  mode_t bits = 0;
  if (stat(target.c_str(), &old) == 0) {
    bits = old.st_mode & 07777;
  } else {
    bits = umask(0);  // a new file gets what a plain write would have given it
    umask(bits);
    bits = 0666 & ~bits;
  }
  bool ok = fchmod(fd, bits) == 0 && write_all(fd, text);
  ok = close_file(fd) == 0 && ok;
  ok = ok && rename(tmp.c_str(), target.c_str()) == 0;
  if (ok) return true;
  const int error = errno;
  unlink(tmp.c_str());
  return report(path, error);
}

void recall_saved_file(const char *) {}
