#include "platform/report.h"

#include <allegro.h>
#include <winalleg.h>

#include <string>

// A game started from the Start menu has no console: the line is shown in
// a message box too, which belongs to the game's window when there is one,
// so it comes up in front of it.
void show_report(const char *line) {
  wchar_t text[512];
  if (MultiByteToWideChar(CP_UTF8, 0, line, -1, text, 512) == 0) text[0] = 0;
  MessageBoxW(win_get_window(), text, L"Krove Vestin", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// In the system's language, without the full stop and line end it ends with.
std::string system_reason(unsigned long error) {
  char text[256];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ' || text[n - 1] == '.')) n--;
  if (n == 0) return "error " + std::to_string(error);
  return std::string(text, n);
}
