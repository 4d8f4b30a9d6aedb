#include "platform/report.h"

#include <cstdarg>
#include <cstdio>

bool report_line(const char *format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "krove-vestin: %s\n", line);
  std::fflush(stderr);
  show_report(line);
  return false;
}
