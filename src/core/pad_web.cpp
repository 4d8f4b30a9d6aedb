// Pads in the browser: none yet. The page's pads (navigator.getGamepads(),
// standard mapping) are to reach the game as a joystick driver of the
// library's browser platform; this file then installs it and fills
// pad_layouts: button 0 south, 1 east, 8 back, 9 start, 12-15 the d-pad
// up, down, left, right, axes 0 and 1 the left stick.
#include "core/pad.h"

#include <allegro.h>

// The library's browser build leaves out its joystick module, whose state
// the pads are read from: here it is, with no pad, until that build has it.
JOYSTICK_INFO joy[MAX_JOYSTICKS];
int num_joysticks = 0;

void find_pads() {}
bool read_pads() { return true; }
