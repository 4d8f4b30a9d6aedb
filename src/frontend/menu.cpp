#include "frontend/menu.h"

#include <allegro.h>

#include "core/clock.h"
#include "core/resources.h"
#include "input/keys.h"

void rebuild_menu(menu &m, const std::vector<option> &items) {
  m.entries.clear();
  for (const option &o : items) m.entries.push_back(o);
  loop_num = 0;
}

void read_menu_keys(const menu &m, int &index) {
  start_time = timer;
  if (poll_repeat_key(b_u, key_up, t_up)) index--;
  if (poll_repeat_key(b_d, key_down, t_down)) index++;
  const int last = static_cast<int>(m.entries.size()) - 1;
  if (index < 0) index = last;
  if (index > last) index = 0;
}

// The key that opened a screen must not choose on it at once.
bool fire_accepted() { return key_down_now(b_f) && loop_num > 30; }

void draw_heading(const char *text) {
  textprintf_centre_ex(buffer, lrg_txt, 160, 50, makecol(255, 255, 255), -1, "%s", text);
}

void draw_menu_list(const menu &m, int base_y, int selected) {
  for (int i = 0; i < static_cast<int>(m.entries.size()); i++) {
    const int y = base_y + 15 * i;
    if (i == selected) draw_sprite(buffer, fireball[(loop_num / 5) % 4], 110, y);
    textprintf_ex(buffer, reg_txt, 130, y, makecol(255, 255, 255), -1, "%s", m.entries[i].label);
  }
}
