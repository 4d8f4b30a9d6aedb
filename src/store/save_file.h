// Writing a data file so that a failure never leaves a broken file behind,
// and never goes unsaid.
#pragma once
#include <string>

// Writes text to a temporary file beside path (beside its target, when path
// is a link) and renames it over the file, keeping the file's permission
// bits. Where no temporary file can be made there, writes the file in place.
// On a failure prints one line naming the file and the reason, and returns
// false; the old file stays as it was unless the in-place write failed.
bool save_file(const char *path, const std::string &text);

// Before a save reads the file again to keep what another copy of the game
// saved meanwhile: in the browser, the page's copy of the file is made anew
// from the page's storage, which another tab may have written; a desktop
// file is already the one every copy writes.
void recall_saved_file(const char *path);

// How the POSIX save closes its file: close, unless a test makes it fail.
extern int (*close_file)(int fd);
