// The menu model shared by the title, options, difficulty and game-over screens.
#pragma once
#include <vector>

struct option {
  const char *label;
  int value;  // the state to switch to; in the difficulty menu the difficulty
  int param;  // only the difficulty entries use it: the rise divisor
};

class menu {
public:
  std::vector<option> entries;
};

// Clears the entries, appends the given ones and starts the screen's frame count.
void rebuild_menu(menu &m, const std::vector<option> &items);
// Steps 2 to 4 of a menu frame: time stamp, up and down, wrap of the index.
void read_menu_keys(const menu &m, int &index);
bool fire_accepted();  // fire down after the screen's 30 deaf frames
void draw_heading(const char *text);
void draw_menu_list(const menu &m, int base_y, int selected);
