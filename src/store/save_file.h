// Writing a data file so that a failure never leaves a broken file behind.
#pragma once
#include <string>

// Writes text to a temporary file beside path and renames it over path.
// On any failure the old file stays as it was and false is returned.
bool save_file(const char *path, const std::string &text);
