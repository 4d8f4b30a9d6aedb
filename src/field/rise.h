// The rise of the field, levels and the end of a game.
#pragma once

extern int mode;       // difficulty: 1 Easy, 2 Normal, 3 Hard
extern int spd;        // rise divisor of the chosen difficulty
extern int spd_up;     // how much the levels have shortened the divisor
extern int lift;       // pixels the field has risen towards the next push-up
extern int nxt_lvl;    // push-ups left before the next level-up
extern int level;
extern bool game_over; // the game ends at the end of this frame

// The rise divisor a difficulty plays at: 20 Easy, 18 Normal, 14 Hard.
int rise_divisor(int difficulty);

void new_game();       // entry of the game screen
void game_update();    // the update step of one game frame
