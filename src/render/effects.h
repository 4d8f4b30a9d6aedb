// Sparks of a power-up burst and floating score texts.
#pragma once
#include <vector>

struct dot {
  int x, y;
  int dx, dy;
  int life;
};

struct bonus_text {
  int x, y;
  int value;
  int life;
};

extern std::vector<dot> spark;
extern std::vector<bonus_text> score_msg;

void splash(int x, int y);
void create_msg(int x, int y, int value);
void run_sparks();  // move, age, draw; ends at the first spark that expires
void run_texts();   // likewise for the score texts
