#include "soak_aim.h"

#include <vector>

#include "field/grid.h"

int group_size(const int *cells, int c0, int r0, bool seen[COLS][ROWS]) {
  const int colour = cells[c0 * ROWS + r0];
  std::vector<int> todo = {c0 * ROWS + r0};
  seen[c0][r0] = true;
  int n = 0;
  while (!todo.empty()) {
    const int c = todo.back() / ROWS, r = todo.back() % ROWS;
    todo.pop_back();
    n++;
    const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto &s : steps) {
      const int nc = c + s[0], nr = r + s[1];
      if (nc < 0 || nc >= COLS || nr < 0 || nr >= ROWS || seen[nc][nr]) continue;
      if (cells[nc * ROWS + nr] != colour) continue;
      seen[nc][nr] = true;
      todo.push_back(nc * ROWS + nr);
    }
  }
  return n;
}

// A column reaching up into row 4 comes first: its top block within reach
// is shot whatever its group, so the well never fills.
static aim danger_shot() {
  int top_row = ROWS, top_column = -1;
  for (int c = 0; c < COLS; c++)
    for (int r = 0; r < ROWS; r++)
      if (cell(c, r) > EMPTY) {
        if (r < top_row) top_row = r, top_column = c;
        break;
      }
  if (top_row > 4) return {};
  for (int r = 3; r < ROWS; r++)
    if (cell(top_column, r) > EMPTY) return {top_column, r, 1};
  return {};
}

aim best_shot() {
  aim best;
  bool seen[COLS][ROWS] = {};
  for (int c = 0; c < COLS; c++)
    for (int r = 3; r < ROWS; r++) {
      const int code = cell(c, r);
      if (code >= AREA_POWER) return {c, r, 0};
      if (code < 1 || code > 4 || seen[c][r]) continue;
      const int n = group_size(set_grid, c, r, seen);
      if (n >= 2 && n > best.group) best = {c, r, n};
    }
  const aim danger = danger_shot();
  return danger.column >= 0 && best.group < 4 ? danger : best;
}
