#include "core/report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool report_line(const char *format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "krove-vestin: %s\n", line);
  return false;
}

std::string system_reason(unsigned long error) { return std::strerror(static_cast<int>(error)); }
