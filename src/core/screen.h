// What every frame shows in the window: presenting the back buffer at the
// window's size, the scrolling background and the end of a menu frame.
#pragma once

struct BITMAP;

extern int scrn_size;  // 0: 320x240 window, 1: 640x480 window

void present_bitmap(BITMAP *bmp);  // show a 320x240 picture at the current window size
void present_buffer();             // present_bitmap(buffer)
void draw_background();            // the scrolling 3x3 tiling of the background picture
void end_menu_frame();             // present, background for the next frame, wait, counters
