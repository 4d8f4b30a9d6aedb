#include "core/desktop.h"

#include <allegro.h>

#include <cstdio>

std::atomic<bool> focus_lost{false};

static void on_focus_lost() { focus_lost.store(true); }

int start_library() { return allegro_init(); }

void explain_no_display(char *what, std::size_t size) {
  std::snprintf(what, size, "no DirectX display");
}

// The window's class and icon come from the .exe: the library names its
// class after the program and takes the icon resource "allegro_icon".
void name_window() {}

void title_window() { set_window_title("Krove Vestin"); }

// A new window comes with the library's default, which stops the whole game
// while another window has the focus (a close sent then waits for the focus
// to come back), and with no focus watch. The game keeps running and shows
// its own pause, as on Linux. Keys need nothing: the library lets every key
// go when its window loses the keyboard.
void window_opened() {
  // The full-screen driver keeps no picture in the background: it runs on
  // there too, and draws the next frame whole anyway.
  if (set_display_switch_mode(SWITCH_BACKGROUND) != 0) set_display_switch_mode(SWITCH_BACKAMNESIA);
  set_display_switch_callback(SWITCH_OUT, on_focus_lost);
}

// The library's full-screen driver, at the desktop's own resolution so the
// monitor keeps its mode; it hides the pointer over its window.
bool open_fullscreen_window() {
  int w = 0, h = 0;
  if (get_desktop_resolution(&w, &h) != 0) return false;
  return set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, w, h, 0, 0) == 0;
}

// The library leaves full screen with the next windowed mode.
void leave_fullscreen_window() {}

// The library puts a window back where the last one was.
void keep_window_place() {}
void restore_window_place() {}
