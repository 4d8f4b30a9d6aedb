// A headless player for the soak: it presses and lets go of keys from the
// game's sleep hook, so it acts in every frame's wait, inside the pause and
// during the banners, exactly where a player's keys would land. Random but
// reproducible (its own fixed seed), and steered so that it really plays:
// it starts games, changes the difficulty in turn, pauses and resumes, and
// now and then gives up a game with Esc or quits from the title. Every
// fourth game it plays well, aiming at the largest group, to reach the
// fast levels and the power-ups.
#pragma once

struct bot_tally {
  long waits = 0;          // hook calls
  int pauses = 0;          // pause presses while a game ran
  int escapes = 0;         // Esc taps in a game
  int difficulty_picks = 0;
  int rebinds = 0;         // keys bound on the controls screen
  int skilled_games = 0;   // games played to last, aiming at the best group
};

void bot_start(unsigned seed);
// The sleep hook's call: one step of the player.
void bot_step();
const bot_tally &bot_counts();
