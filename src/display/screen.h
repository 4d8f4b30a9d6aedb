// What every frame shows in the window: presenting the back buffer at the
// window's size, the scrolling background and the end of a menu frame.
#pragma once

struct BITMAP;

extern int scrn_size;  // 0: 320x240 window, 1: 640x480 window

// Where the 320x240 picture goes on a screen of width x height: in a
// window at 1:1 or doubled, by scrn_size, from the corner; covering a
// monitor (filling), at the largest whole factor that fits, centred, each
// picture pixel a sharp square.
struct picture_place {
  int factor, x, y;
};
picture_place place_picture(int width, int height, bool filling);

void present_bitmap(BITMAP *bmp);  // show a 320x240 picture at the current window size
void present_buffer();             // present_bitmap(buffer)
void draw_background();            // the scrolling 3x3 tiling of the background picture
void end_menu_frame();             // present, background for the next frame, wait, counters
