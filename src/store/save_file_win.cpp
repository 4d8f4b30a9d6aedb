#include "store/save_file.h"

#include <windows.h>

#include <cstdio>

#include "platform/report.h"

static bool report(const char *path, DWORD error) {
  return report_line("cannot save \"%s\": %s", path, system_reason(error).c_str());
}

static bool write_all(HANDLE file, const std::string &text) {
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size() && FlushFileBuffers(file);
}

// The plain write the game always did: the file opened as it is, written,
// cut to the new length.
static bool write_in_place(const char *path, const std::string &text) {
  const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return report(path, GetLastError());
  const bool ok = write_all(file, text) && SetEndOfFile(file);
  const DWORD error = GetLastError();
  if (!CloseHandle(file) && ok) return report(path, GetLastError());
  return ok || report(path, error);
}

// A new file of a name no other copy of the game is using: the process and
// a count make it unique.
static HANDLE create_new_beside(const char *path, std::string &name) {
  static unsigned count = 0;
  char suffix[40];
  std::snprintf(suffix, sizeof suffix, ".%lu-%u.new", GetCurrentProcessId(), count++);
  name = std::string(path) + suffix;
  return CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The new contents are made durable in a file of their own, then replace
// the old file in one step (a plain rename will not replace a file on
// Windows): a full disk, a killed process or a second copy of the game
// saving at the same moment leaves the old file or a new one, never half
// of one.
bool save_file(const char *path, const std::string &text) {
  std::string name;
  const HANDLE file = create_new_beside(path, name);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // Refused, not failed: the folder may take no new file while the file
    // itself is writable. A full disk must not get its old file truncated.
    if (error == ERROR_ACCESS_DENIED) return write_in_place(path, text);
    return report(path, error);
  }
  bool ok = write_all(file, text);
  DWORD error = ok ? 0 : GetLastError();
  if (!CloseHandle(file) && ok) {
    ok = false;
    error = GetLastError();
  }
  if (ok && !MoveFileExA(name.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    error = GetLastError();
  }
  if (ok) return true;
  DeleteFileA(name.c_str());
  return report(path, error);
}

void recall_saved_file(const char *) {}
