// Group blasts, the blast countdown and the score rule.
#pragma once

extern int score;  // the current game's score, may go below zero
extern int bonus;  // size of the last colour shot's group

void explode(int column, int row, int colour);
int explosion_run(int colour);
void clean_blast();
// The shot at the colour block under the cursor: blast, score, score text.
void colour_shot(int colour);
