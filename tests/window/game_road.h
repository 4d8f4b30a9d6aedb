// One game with real keys, as a player plays it, and the pause of a player
// away from the game: the same road and the same expectations for every
// way the tests reach the game (its X window, the browser's page).
#pragma once
#include <functional>

#include "game_driver.h"

// From the title (START marked): a game, three shots each checked against
// the colours on screen and the score, the pause and its resume, Esc, the
// high-score table with the best of Normal in normal, Esc back to the
// title. Fatal failures end the road (ASSERT_NO_FATAL_FAILURE around it).
void play_one_game(game_session &s, int &normal);

// In a live game: away (lose_focus), the pause band stands and nothing
// moves; back (regain_focus), the pause key resumes the game.
void pause_while_away(game_session &s, const std::function<bool()> &lose_focus,
                      const std::function<bool()> &regain_focus);
