// The desktop icon: four of our blocks in a 2x2 stack, as XPM text and as PNG.
#pragma once
#include <string>
#include <vector>

#include "canvas.h"

const int icon_size = 48;

picture draw_icon();
bool save_xpm(const picture &p, const std::string &name, const std::string &path);
// The same icon as a PNG with alpha, which desktops show best.
bool save_icon_png(const picture &p, const std::string &path);
// The icon at size x size for the desktop's icon theme: each pixel covers
// its share of the 48 px picture, so edges soften rather than jag.
bool save_sized_icon_png(const picture &p, int size, const std::string &path);
// The icon for a phone's home screen: size x size on the page's dark
// colour, the picture scaled by the largest whole factor that keeps it
// within the middle 80 % (the part every launcher's mask shows), centred.
bool save_app_icon_png(const picture &p, int size, const std::string &path);
// A Windows icon file of PNG images, one per file given (each square, at
// most 256 px): the .exe's icon, and its window's.
bool save_ico(const std::vector<std::string> &png_paths, const std::string &path);
