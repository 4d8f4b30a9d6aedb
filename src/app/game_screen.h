// The game screen (state 4): the frame around the game's update and drawing.
#pragma once

void enter_game();   // new-game reset
void game_frame();   // one game frame
void run_game();     // frames while game_state is 4
// The field's score texts, power-up sparks and level banner, shown by the
// effects and bands: once, at start-up, before the first game.
void connect_field();
