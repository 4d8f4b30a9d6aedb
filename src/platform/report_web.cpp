#include <emscripten.h>

#include <cstring>

#include "platform/report.h"

// The page's one line under the canvas; stderr reaches the browser's console.
EM_JS(void, show_on_page, (const char *line), {
  const status = document.getElementById("status");
  if (status) status.textContent = UTF8ToString(line);
});

void show_report(const char *line) { show_on_page(line); }

std::string system_reason(unsigned long error) { return std::strerror(static_cast<int>(error)); }
