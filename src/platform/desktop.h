// The game on a desktop: bringing the library up, its window's name and
// icon, the keyboard focus, and what a new window needs. Each platform has
// its file: desktop_x11.cpp, desktop_win.cpp.
#pragma once
#include <atomic>
#include <cstddef>
#include <vector>

// The window lost the keyboard focus: the player went to another window.
// Set on the library's window thread, taken by the game's pause step.
extern std::atomic<bool> focus_lost;

// allegro_init, as this desktop wants it; its result.
int start_library();
// Why allegro_init found no system at all, for the line start-up prints.
void explain_no_display(char *what, std::size_t size);

// Before allegro_init makes the window: on X its name and class
// "krove-vestin", so a desktop ties it to the game's menu entry, and the
// game's own icon (on Windows the .exe's resources bring both).
void name_window();
// After allegro_init, before the window is first shown: the title, and on
// X the focus watch, which lasts through every window-size switch.
void title_window();
// After every window the game opens. On X the keys let go while it was
// being made are released; on Windows, where each new window would freeze
// the game while another window has the focus and forgets the focus watch,
// the game is kept running in the background and the watch put back.
void window_opened();

// Full screen, the desktop's way: the library's window at the size of the
// monitor it is on, covering it. X: the window manager puts it in its
// full-screen state; false, touching nothing, when the window manager does
// not know that state. Windows: the window's frame taken away; the pointer
// is hidden over it. False when refused.
bool open_fullscreen_window();
// Before the window of the usual kind is opened again: X asks the window
// manager to end the full-screen state.
void leave_fullscreen_window();
// Full screen entered or left by the desktop itself, not through the
// game's keys: +1 entered (the page's full-screen button), -1 left (the
// browser's own Esc), 0 nothing since the last look. The browser only; on
// X and Windows always 0.
int fullscreen_changed_outside();
// Where the window was before full screen, and putting it back there after.
void keep_window_place();
void restore_window_place();

// Windows only: called when the session ends (logging off, shutting down),
// on the library's window thread; after it the process may end at once.
extern void (*on_session_end)();
// Windows only: a device came or went (WM_DEVICECHANGE), set on the
// library's window thread; pads are then looked for again.
extern std::atomic<bool> devices_changed;

// X only: the keys the key array holds down that the keymap does not:
// keymap is X's, one bit a keycode; to_scancode is the library's table from
// keycode to key.
std::vector<int> keys_not_held(const char (&keymap)[32], const int (&to_scancode)[256],
                               const volatile char *keys);
