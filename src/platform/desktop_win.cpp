#include "platform/desktop.h"

#include <allegro.h>
#include <winalleg.h>

#include <cstdio>

std::atomic<bool> focus_lost{false};
void (*on_session_end)() = nullptr;
std::atomic<bool> devices_changed{true};  // the first look lists the pads

static void on_focus_lost() { focus_lost.store(true); }

int start_library() { return allegro_init(); }

void explain_no_display(char *what, std::size_t size) {
  std::snprintf(what, size, "no DirectX display");
}

// The window's class and icon come from the .exe: the library names its
// class after the program and takes the icon resource "allegro_icon".
void name_window() {}

// The messages the library's window does not answer as the game needs. On
// the library's window thread, the game's thread anywhere in a frame.
// 0: handled here, with *result as the answer.
static bool covering = false;  // a window of the monitor's size is being made
// The window covers its monitor: from open_fullscreen_window to
// leave_fullscreen_window, the game's full screen.
static bool covers_monitor = false;

static int on_window_message(HWND, UINT message, WPARAM wparam, LPARAM lparam, int *result) {
  switch (message) {
    case WM_GETMINMAXINFO:  // a framed window may be made larger than the monitor, for a moment
      if (!covering) return 1;
      reinterpret_cast<MINMAXINFO *>(lparam)->ptMaxTrackSize = {32000, 32000};
      *result = 0;
      return 0;
    case WM_SETCURSOR:  // no pointer over the picture in full screen
      if (!covers_monitor || LOWORD(lparam) != HTCLIENT) return 1;
      SetCursor(nullptr);
      *result = TRUE;
      return 0;
    case WM_QUERYENDSESSION:  // the game never holds the session up
      *result = TRUE;
      return 0;
    case WM_DEVICECHANGE:  // perhaps a pad: looked for on the game's thread
      devices_changed = true;
      return 1;
    case WM_ENDSESSION:  // it does end: the process may go at any moment after this
      if (wparam && on_session_end) on_session_end();
      *result = 0;
      return 0;
  }
  return 1;
}

void title_window() {
  set_window_title("Krove Vestin");
  win_set_msg_pre_proc(on_window_message);
}

// A new window comes with the library's default, which stops the whole game
// while another window has the focus (a close sent then waits for the focus
// to come back), and with no focus watch. The game keeps running and shows
// its own pause, as on Linux. Keys need nothing: the library lets every key
// go when its window loses the keyboard.
void window_opened() {
  set_display_switch_mode(SWITCH_BACKGROUND);
  set_display_switch_callback(SWITCH_OUT, on_focus_lost);
}

// The style the library gives its window: a frame with a title and no
// resizing.
static const LONG framed = WS_SYSMENU | WS_CAPTION | WS_MINIMIZEBOX | WS_VISIBLE;

// A borderless window covering the monitor the window is on, at the
// resolution the desktop has: the library's window at the monitor's size
// (with its frame larger than the monitor for a moment, which Windows
// allows only when asked), its frame then taken away. The library's
// full-screen driver would take DirectDraw's exclusive mode, which
// minimises the game whenever another window is chosen.
bool open_fullscreen_window() {
  HWND window = win_get_window();
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!window || !GetMonitorInfo(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
  const RECT &m = monitor.rcMonitor;
  covering = true;
  const bool opened = set_gfx_mode(GFX_AUTODETECT_WINDOWED, m.right - m.left, m.bottom - m.top, 0, 0) == 0;
  covering = false;
  if (!opened) return false;
  window = win_get_window();
  SetWindowLong(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
  SetWindowPos(window, HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top,
               SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  clear_bitmap(screen);  // all of it drawn again: where the frame was too
  covers_monitor = true;
  return true;
}

// The frame comes back before the window of the usual size is asked for.
void leave_fullscreen_window() {
  covers_monitor = false;
  if (const HWND window = win_get_window()) {
    SetWindowLong(window, GWL_STYLE, framed);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
}

// Where the picture (the window's inside) was on the screen: the frame
// around it may be another size when it comes back.
static bool place_kept = false;
static POINT kept = {};

void keep_window_place() {
  const HWND window = win_get_window();
  kept = {0, 0};
  place_kept = window && ClientToScreen(window, &kept);
}

void restore_window_place() {
  const HWND window = win_get_window();
  POINT inside = {0, 0};
  RECT outside;
  if (place_kept && window && ClientToScreen(window, &inside) && GetWindowRect(window, &outside))
    SetWindowPos(window, nullptr, outside.left + kept.x - inside.x, outside.top + kept.y - inside.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  place_kept = false;
}

// Windows puts the game in full screen only through its keys.
int fullscreen_changed_outside() { return 0; }
