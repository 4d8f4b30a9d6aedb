// The roads every window test takes through the game: past the splash,
// into a game and past its level banner, shots checked by their score, out
// of it with Esc.
#pragma once
#include <string>

#include "game_driver.h"
#include "game_screens.h"

// Holds the fire key from the splash until the title is up (the title
// ignores fire for its first 31 frames, so the held key starts nothing).
bool skip_to_title(game_session &s, unsigned long fire_keysym, rgb_image *title = nullptr);
// From the title with START marked: fire until the game screen shows, then
// through the "LEVEL 1" banner (no key is read during it) to the live game.
bool start_play(game_session &s, unsigned long fire_keysym);
// Esc in the live game, until the "GAME OVER" banner stands.
bool give_up_play(game_session &s);

// The cell within the cursor's rows 3-11 with the biggest group, or with a
// lone block when want_lone and there is one; column -1 if no block at all.
cursor_place choose_target(const field_view &field, bool want_lone);
// Waits until a shot can be made and the field stands still (no block
// falling, two reads alike) with the field lifted at most most_lift, the
// next push-up then at least (17 - most_lift) / 2 rise steps away, since a
// push-up moves the cursor and brings in a new row: 8 for a shot, 4 for a
// key held a second (a row it pushes in can leave the cursor at its limit).
bool read_still_field(game_session &s, field_view &field, int most_lift = 8);
// Fires (space) until the printed score moves away from before; false if it never does.
bool shoot(game_session &s, int before, int &after, rgb_image *picture = nullptr);
// Aims at the biggest group on screen (or a lone block, when want_lone and
// there is one), fires, and checks the score moved by exactly what that
// group is worth: 10 n^2 for n blocks, -10 for a lone one. On failure, why
// says what went wrong.
bool shoot_checked(game_session &s, bool want_lone, int &score, std::string &why,
                   rgb_image *picture = nullptr);
