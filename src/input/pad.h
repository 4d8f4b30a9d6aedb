// Game pads, read as the keyboard: every presented frame the pads hold down
// the bound keys in the library's key array, so the menus, the cursor's
// repeat and the latches take them as keys. One fixed layout: the d-pad,
// and the left stick past half its travel, are the four directions; the
// south button (A, Cross) fires; Start pauses; the east button (B, Circle)
// and Back/Select are Esc. Where those are on a pad, and how pads are
// found, is the platform's: pad_linux.cpp, pad_win.cpp, pad_web.cpp.
#pragma once

constexpr int MAX_PADS = 8;  // the library's MAX_JOYSTICKS

// One axis of a stick of joy[n]; stick -1 where the pad has none.
struct pad_axis {
  int stick = -1, axis = 0;
};

// Where the game's controls are on pad n, in joy[n]'s numbers; -1 where the
// pad has none. A pad without a d-pad plays through its stick.
struct pad_layout {
  int south = -1, east = -1, start = -1, select = -1;  // buttons
  int up = -1, down = -1, left = -1, right = -1;       // a d-pad made of buttons
  pad_axis hat_x, hat_y;                               // a d-pad reported as a hat
  pad_axis stick_x, stick_y;                           // the left stick
};

extern pad_layout pad_layouts[MAX_PADS];  // of joy[0 .. num_joysticks - 1]
// A pad went away: a game in play pauses. Taken by the pause step.
extern bool pad_lost;

void start_pads();  // at start-up, once the window is up: the first look for pads
// Once per presented frame: pads looked for about once a second, read,
// lost ones noticed, and their keys held.
void poll_pads();
bool time_to_look();  // true every 50th frame

// The bound keys the pads hold this frame, set in the key array each frame
// (the keyboard's driver may have cleared them); a key is let go only by
// the pad that pressed it. On the controls screen a pad holds Esc alone,
// so it never becomes a binding.
void hold_pad_keys();

// The platform's side. find_pads: pads plugged in looked for, cheaply
// while there are none; when pads came, the library's driver is installed
// again and pad_layouts filled. read_pads: the pads read into joy[];
// false when one has gone away since the last read.
void find_pads();
bool read_pads();

// Linux only: the layout of a pad from its driver's maps. Axis a reports
// the axis code axmap[a] (ABS_X, ABS_HAT0Y, ...), button b the key code
// btnmap[b] (BTN_SOUTH, BTN_START, ...); throttle is the axis the
// library's configuration makes a throttle, or -1.
pad_layout layout_from_maps(int axes, const unsigned char *axmap, int buttons,
                            const unsigned short *btnmap, int throttle);
