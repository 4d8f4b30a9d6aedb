// The roads every window test takes through the game: past the splash,
// into a game and past its level banner, out of it with Esc.
#pragma once
#include "game_driver.h"

// Holds the fire key from the splash until the title is up (the title
// ignores fire for its first 31 frames, so the held key starts nothing).
bool skip_to_title(game_session &s, unsigned long fire_keysym, rgb_image *title = nullptr);
// From the title with START marked: fire until the game screen shows, then
// through the "LEVEL 1" banner (no key is read during it) to the live game.
bool start_play(game_session &s, unsigned long fire_keysym);
// Esc in the live game, until the "GAME OVER" banner stands.
bool give_up_play(game_session &s);
