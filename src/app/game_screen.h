// The game screen (state 4): the frame around the game's update and drawing.
#pragma once

void enter_game();   // new-game reset
void game_frame();   // one game frame
void run_game();     // frames while game_state is 4
