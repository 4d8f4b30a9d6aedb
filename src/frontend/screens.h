// The front end's screens. Each has an entry step, a frame step and a run
// step that repeats the frame while the screen's state holds.
#pragma once

class menu;

void enter_splash();
void splash_frame();
void run_splash();
int splash_rise(int frame);  // how far the name has risen in a splash frame

extern int credit_scroll;  // credits ticker position
void enter_title(menu &m);
void title_frame(menu &m);
void run_title(menu &m);
int ticker_offset();

void enter_options(menu &m);
void options_frame(menu &m);
void run_options(menu &m);

void enter_difficulty(menu &m);
void difficulty_frame(menu &m);
void run_difficulty(menu &m);

void enter_screen_size();
void screen_size_frame();
void run_screen_size();

extern int bind_step;       // controls screen: the action being asked for
extern int bind_countdown;  // frames before the next key is taken
void enter_controls();
void controls_frame();
void run_controls();

// The best score of the difficulty played is raised to score if lower.
void record_score();
void enter_game_over(menu &m);
void game_over_frame(menu &m);
void run_game_over(menu &m);
