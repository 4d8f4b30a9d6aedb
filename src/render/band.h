// The band effects over the frozen game picture: level banner, pause, game over.
#pragma once

struct BITMAP;

extern bool key_pause;  // the pause key's latch

void band_frame(BITMAP *t, int n);  // one frame of a band of half-height n
// Band in (growing: n = 0, 2, ..., 24) or band out (n = 26, 24, ..., 2).
void band_transition(BITMAP *t, bool growing);
void show_level();
void pause_step();                  // the pause overlay, then the pause latch
void game_over_step();              // the game-over banner, then state 5
