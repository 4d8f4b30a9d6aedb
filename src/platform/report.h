// The game's one line when something fails: "krove-vestin: " and what went
// wrong, on stderr; on Windows, where a game has no console, also in a
// message box.
#pragma once
#include <string>

// printf-style; always returns false, so a failing step can return it.
bool report_line(const char *format, ...) __attribute__((format(printf, 1, 2)));
// The system's words for an error number (errno; on Windows GetLastError's).
std::string system_reason(unsigned long error);

// Each platform's other place for the line, after stderr (report_posix.cpp:
// none; report_win.cpp: a message box).
void show_report(const char *line);
