// The game's window: opening it at one of its two sizes, and full screen.
#pragma once

// How a window of a size is asked for; false when the display refuses it.
// The game uses request_gfx_window; tests swap in one that refuses sizes.
extern bool (*request_window)(int width, int height);
bool request_gfx_window(int width, int height);  // windowed, 32-bit

// Set once a window was asked for and none could be had: the game has
// nothing left to show and quits with a failure.
extern bool window_lost;

// Opens the window at size (0: 320x240, 1: 640x480), or at fallback when
// that size is refused, and sets scrn_size to the size it got. When neither
// can be had, prints one line naming the size and the library's reason,
// sets window_lost and returns false.
bool open_window(int size, int fallback);

// Full screen: the window covers its monitor at the resolution the desktop
// already has (never a change of the monitor's mode), the picture scaled by
// the largest whole factor that fits and centred on black.
extern bool fullscreen;
extern bool fullscreen_at_start;  // krove-vestin --fullscreen

// How the window covering its monitor is asked for; false when refused. The
// game uses open_fullscreen_window, its desktop's way; tests swap in others.
extern bool (*request_fullscreen)();
// How the game learns of full screen entered or left outside its keys; the
// game uses fullscreen_changed_outside, tests swap in others.
extern int (*fullscreen_from_outside)();

// Into full screen (on), or back to the window at scrn_size where it was.
// When the desktop refuses full screen the game stays in its window and
// goes on, and the result is false. Choosing a window size (open_window)
// leaves full screen too.
bool set_fullscreen(bool on);

// F11 or Alt+Enter gone down since the last look switches between the
// window and full screen. F11 is the game's own only while no action is
// bound to it and the controls screen is not waiting for a key. Every
// presented frame looks, so a switch comes at any moment.
void switch_on_request();
