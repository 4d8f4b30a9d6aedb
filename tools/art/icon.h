// The desktop icon: four of our blocks in a 2x2 stack, as XPM text.
#pragma once
#include <string>

#include "canvas.h"

const int icon_size = 48;

picture draw_icon();
bool save_xpm(const picture &p, const std::string &name, const std::string &path);
