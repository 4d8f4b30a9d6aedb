#include <cstring>

#include "platform/report.h"

// stderr is where a terminal, a desktop's log or a launcher script reads it.
void show_report(const char *) {}

std::string system_reason(unsigned long error) { return std::strerror(static_cast<int>(error)); }
