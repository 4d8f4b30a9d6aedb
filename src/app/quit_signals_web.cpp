// A page has no signals: what ends it from outside is the tab or the browser
// closed, or the page left, and the browser gives no time for a quit
// sequence then. So both files are saved whenever the page is hidden (the
// tab closed or left, the browser minimised or closed: hidden comes first)
// and when it is put away (pagehide); a game in play goes on if the player
// comes back.
#include <emscripten.h>

#include "app/last_save.h"
#include "app/quit_signals.h"

extern "C" EMSCRIPTEN_KEEPALIVE void kv_page_hidden() { save_meanwhile(); }

EM_JS(void, watch_page_end, (), {
  document.addEventListener("visibilitychange", () => { if (document.hidden) _kv_page_hidden(); });
  window.addEventListener("pagehide", () => _kv_page_hidden());
});

void install_quit_signals() { watch_page_end(); }
void hold_quit_signals() {}
void watch_display() {}
