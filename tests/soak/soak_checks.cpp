#include "soak_checks.h"

#include <cstring>
#include <string>

#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "render/effects.h"

namespace {

score_tally tally;

const int max_effects = 64;  // sparks and score texts drain every frame

bool valid_code(int v) { return (v >= EMPTY && v <= 10) || (v <= BLAST_1 && v >= BLAST_3); }

int count_blasts(const frame_state &s) {
  int n = 0;
  for (int v : s.cells)
    if (v <= BLAST_1) n++;
  return n;
}

std::string at(const std::string &what, int value) { return what + " " + std::to_string(value); }

// The score moves only by the rule, and only with a shot: a colour shot at
// a group of n is 10*n*n, at a lone block -10; a power-up shot, or no shot,
// changes nothing. A shot is the frame that sets the recharge (160, less
// this frame's 4); only a colour shot leaves the fire latch set.
std::string check_score(const frame_state &before, const frame_state &after) {
  const int change = after.score - before.score;
  const bool shot = after.recharge == 156;
  const bool colour_shot = shot && after.key_fire;
  if (!colour_shot) {
    if (change != 0) return at(shot ? "score changed by a power-up shot:" : "score changed without a shot:", change);
    if (after.bonus != before.bonus) return at("group size changed without a colour shot:", after.bonus);
    if (shot) tally.power_shots++;
    return "";
  }
  int n = 1;
  while (10 * n * n < change) n++;
  if (change != -10 && !(n >= 2 && n <= COLS * ROWS && 10 * n * n == change))
    return at("score change outside the rule:", change);
  // The group is the only blast in the well (the last shot was 40 frames
  // ago, and blasts clear in 8), unless a push-up dropped a row this frame.
  const bool pushed_up = after.lift == 0 && before.lift >= 16;
  const int group = change == -10 ? 1 : n;
  if (!pushed_up && count_blasts(after) != group)
    return at("blast cells after a shot at a group of " + std::to_string(group) + ":", count_blasts(after));
  if (change == -10)
    tally.lone_shots++;
  else
    tally.colour_shots++;
  if (group > tally.largest_group) tally.largest_group = group;
  return "";
}

}  // namespace

frame_state observe_frame() {
  frame_state s;
  std::memcpy(s.cells, set_grid, sizeof s.cells);
  s.tx = tx, s.ty = ty, s.lift = lift, s.recharge = recharge;
  s.score = score, s.bonus = bonus, s.n_power = n_power, s.key_fire = key_fire;
  s.sparks = static_cast<int>(spark.size());
  s.texts = static_cast<int>(score_msg.size());
  return s;
}

std::string check_frame(const frame_state &before, const frame_state &after) {
  for (int i = 0; i < COLS * ROWS; i++)
    if (!valid_code(after.cells[i]))
      return at("cell " + std::to_string(i / ROWS) + "," + std::to_string(i % ROWS) + " holds", after.cells[i]);
  if (after.tx < 0 || after.tx > COLS - 1) return at("cursor column", after.tx);
  if (after.ty < 3 || after.ty > ROWS - 1) return at("cursor row", after.ty);
  if (after.lift < 0 || after.lift > 16 || after.lift % 2) return at("lift", after.lift);
  if (after.recharge < 0 || after.recharge > 160) return at("recharge", after.recharge);
  if (after.sparks > max_effects) return at("sparks", after.sparks);
  if (after.texts > max_effects) return at("score texts", after.texts);
  return check_score(before, after);
}

const score_tally &score_counts() { return tally; }
