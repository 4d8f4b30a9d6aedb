// The game's window: opening it at one of its two sizes, and what the game
// tells the desktop about it.
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
