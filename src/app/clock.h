// The frame clock and the screen state shared by every screen.
#pragma once
#include <atomic>
#include <cstdint>

struct BITMAP;

extern std::atomic<std::int64_t> timer;  // milliseconds, written by update_timer only
extern std::int64_t start_time;          // timer at the start of the current frame
extern int loop_num;                     // frame counter of the current screen
extern std::atomic<int> game_state;      // current screen; 6 means quit
extern int scroll_t;                     // background scroll counter, never reset
extern int scrn_size;                    // 0: 320x240 window, 1: 640x480 window

// How the frame wait sleeps. The game uses sleep_on_timer; tests swap in a
// function that advances timer instead, so frames run without a clock.
extern void (*sleep_ms)(unsigned int ms);

// Sleeps until timer has moved on by ms: most of it in one rest, the last
// few milliseconds in short steps, so a wait ends just after the tick it
// waits for, after a handful of wake-ups.
void sleep_on_timer(unsigned int ms);

constexpr int STATE_SPLASH = -3;
constexpr int STATE_SOUND = -2;
constexpr int STATE_SCREEN_SIZE = -1;
constexpr int STATE_TITLE = 0;
constexpr int STATE_OPTIONS = 1;
constexpr int STATE_CONTROLS = 2;
constexpr int STATE_DIFFICULTY = 3;
constexpr int STATE_GAME = 4;
constexpr int STATE_GAME_OVER = 5;
constexpr int STATE_QUIT = 6;

void update_timer();  // 1 ms timer callback
void quit_game();     // close-button callback

// Set by the close button, never cleared: the program is on its way out.
extern std::atomic<bool> close_requested;

// Every write of game_state from the game goes through here, so that a
// close request is never lost to a key handled in the same frame: once
// the window has been closed, the state stays 6 whatever the game writes.
void set_state(int state);

void wait_frame();                   // sleep until 20 ms have passed since start_time
void present_bitmap(BITMAP *bmp);    // show a 320x240 picture at the current window size
void present_buffer();               // present_bitmap(buffer)
void draw_background();              // the scrolling 3x3 tiling of the background picture
void end_menu_frame();               // present, background for the next frame, wait, counters
bool set_window_size();              // windowed mode for scrn_size; false if the mode was refused
