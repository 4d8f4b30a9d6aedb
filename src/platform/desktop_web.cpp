#include "platform/desktop.h"

#include <allegro.h>
#include <emscripten.h>

#include <cstdio>

std::atomic<bool> focus_lost{false};
void (*on_session_end)() = nullptr;

static void on_focus_lost() { focus_lost.store(true); }

int start_library() { return allegro_init(); }

void explain_no_display(char *what, std::size_t size) {
  std::snprintf(what, size, "the page has no canvas to draw on");
}

// The page names the game (its title and icon are in index.html).
void name_window() {}

// The player went elsewhere: another window or tab chosen, the page hidden,
// or a click on the page beside the canvas, which then no longer takes the
// keys. The library sees all of them as a display switch and lets go of the
// keys; the game pauses.
void title_window() {
  set_window_title("Krove Vestin");
  set_display_switch_callback(SWITCH_OUT, on_focus_lost);
}

void window_opened() {}

// The browser's full screen (Fullscreen API) for the page's stage, which
// shows the canvas centred on black at the largest whole factor that fits
// (index.html). Module.kvFullscreen is what the game last asked for, so
// that fullscreen_changed_outside tells the browser's own changes from it.
EM_ASYNC_JS(int, enter_page_fullscreen, (), {
  Module.kvFullscreen = true;
  if (document.fullscreenElement) return 1;
  const stage = document.getElementById("stage");
  try {
    await stage.requestFullscreen();
    return 1;
  } catch (e) {
    Module.kvFullscreen = false;
    return 0;
  }
});

EM_ASYNC_JS(void, leave_page_fullscreen, (), {
  Module.kvFullscreen = false;
  if (!document.fullscreenElement) return;
  try {
    await document.exitFullscreen();
  } catch (e) {
  }
});

EM_JS(int, take_page_fullscreen_change, (), {
  const now = !!document.fullscreenElement;
  if (now === !!Module.kvFullscreen) return 0;
  Module.kvFullscreen = now;
  return now ? 1 : -1;
});

// In full screen the canvas stays 320x240 and the page scales it: the
// whole-factor scaling is the browser's, at the cost of nothing.
bool open_fullscreen_window() {
  if (!enter_page_fullscreen()) return false;
  return set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320, 240, 0, 0) == 0;
}

void leave_fullscreen_window() { leave_page_fullscreen(); }

int fullscreen_changed_outside() { return take_page_fullscreen_change(); }

// A page has no place of its own on the screen.
void keep_window_place() {}
void restore_window_place() {}
