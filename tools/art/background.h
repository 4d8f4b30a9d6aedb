// The tile behind the well: dark, calm, and seamless both ways, since the
// game lays it 3x3 at a pitch of its own size and scrolls it upward.
#pragma once
#include "canvas.h"

const int background_size = 197;

picture draw_background();
