// The game on an X desktop: its window's name and icon, the keyboard focus,
// and which keys are really held.
#pragma once
#include <atomic>
#include <vector>

// The window lost the keyboard focus: the player went to another window.
// Set on the library's window thread, taken by the game's pause step.
extern std::atomic<bool> focus_lost;

// Before allegro_init makes the window: its name and class "krove-vestin",
// so a desktop ties it to the game's menu entry, and the game's own icon.
void name_window();
// After allegro_init, before the window is first shown: the title, and the
// focus watch. Both last through every window-size switch.
void title_window();

// The keys the key array holds down that the keymap does not: keymap is X's,
// one bit a keycode; to_scancode is the library's table from keycode to key.
std::vector<int> keys_not_held(const char (&keymap)[32], const int (&to_scancode)[256],
                               const volatile char *keys);

// Releases every key the key array holds down that the keyboard does not.
// A key let go while the window is being re-made sends its release to
// another window, and would stay down for the game. Nothing without X.
void release_unheld_keys();
