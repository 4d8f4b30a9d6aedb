// What only the X desktop can tell the game: which keys are really held.
#pragma once

// Releases every key the key array holds down that the keyboard does not.
// A key let go while the window is being re-made sends its release to
// another window, and would stay down for the game. Nothing without X.
void release_unheld_keys();
