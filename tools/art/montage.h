// A contact sheet of every picture at 4x and a line of each font, plus two
// mock screens at game size, to judge the art at a glance.
#pragma once
#include <string>
#include <vector>

#include "canvas.h"

struct named_picture {
  std::string name;  // file name inside "KV IMAGE"
  picture pic;
};

// Fonts are loaded back from out_dir, so the sheet shows what the game gets.
bool write_montage(const std::vector<named_picture> &pictures, const std::string &out_dir,
                   const std::string &png_path);
