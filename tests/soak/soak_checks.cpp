#include "soak_checks.h"

#include <allegro.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/clock.h"
#include "core/state.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "input/keys.h"
#include "render/effects.h"
#include "soak_aim.h"
#include "soak_bot.h"

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

// The player's side as the checks play it, from the keys alone. A direction
// acts in the frame its key goes down and every 8th frame while it is held;
// its latch is unknown (-1) while the key has been down since before the game.
struct repeat {
  int latch = -1, phase = 8;
};
struct player_model {
  repeat dir[4];        // left, right, up, down
  int fire_latch = -1;  // set by a colour shot, cleared when fire is up; -1 unknown
  int recharge = 0;     // 0 when a game starts, 156 after a shot, 4 less each frame
} me;

// 1 when the direction acts this frame, 0 when not, -1 when it cannot be told.
int acts(repeat &k, bool down, int loop) {
  if (!down)
    k = {0, 8};
  else if (k.latch == 0)
    k = {1, loop % 8};
  return k.latch < 0 ? -1 : loop % 8 == k.phase;
}

struct outcome {
  int tx, ty, recharge, change, bonus, fire_latch;
  int group;  // the colour shot's group; 0 without one
  bool shot;
};

// What the frame brings if the unknowns fall as way's bits say (the four
// directions, then the fire latch); false when way contradicts the known.
bool way_outcome(const frame_state &b, const int act[4], int way, bool pushed_up, outcome &o) {
  int moves[4];
  for (int d = 0; d < 4; d++) {
    if (act[d] >= 0 && (way >> d & 1)) return false;
    moves[d] = act[d] >= 0 ? act[d] : way >> d & 1;
  }
  if (me.fire_latch >= 0 && (way >> 4 & 1)) return false;
  const int latch = me.fire_latch >= 0 ? me.fire_latch : way >> 4 & 1;
  o.tx = std::clamp(b.tx + moves[1] - moves[0], 0, COLS - 1);
  const int row = std::clamp(b.ty + moves[3] - moves[2], 3, ROWS - 1);
  o.ty = pushed_up ? std::max(row - 1, 3) : row;  // the cursor rides up with its block
  const int code = b.cells[o.tx * ROWS + row];
  o.shot = b.held[4] && !latch && me.recharge == 0 && code > EMPTY;
  bool seen[COLS][ROWS] = {};
  o.group = o.shot && code < AREA_POWER ? group_size(b.cells, o.tx, row, seen) : 0;
  o.change = o.group == 0 ? 0 : o.group == 1 ? -10 : 10 * o.group * o.group;
  o.bonus = o.group ? o.group : b.bonus;
  o.recharge = o.shot ? 156 : std::max(me.recharge - 4, 0);
  o.fire_latch = b.held[4] && (latch || o.group);
  return true;
}

std::string describe(int tx, int ty, int recharge, int change) {
  return "cursor " + std::to_string(tx) + "," + std::to_string(ty) + ", recharge " + std::to_string(recharge) +
         ", score change " + std::to_string(change);
}

// The cursor, the shot, the recharge and the score a colour shot brings
// (10*n*n for a group of n, -10 for a lone block, nothing else): the game
// must have taken one of the ways the model cannot tell apart. Esc held in
// the frame may cut a group short, so then the score is not compared.
std::string check_player(const frame_state &b, const frame_state &a, bool pushed_up) {
  if (b.loop == 0) me = player_model();
  int act[4];
  for (int d = 0; d < 4; d++) act[d] = acts(me.dir[d], b.held[d], b.loop);
  const bool esc = b.held[5];
  outcome o{}, first{}, found{};
  int matches = 0, latch = 0;
  for (int way = 0; way < 32; way++) {
    if (!way_outcome(b, act, way, pushed_up, o)) continue;
    if (way == 0) first = o;
    if (a.tx != o.tx || a.ty != o.ty || a.recharge != o.recharge) continue;
    if (!esc && (a.score - b.score != o.change || a.bonus != o.bonus)) continue;
    if (!matches++) found = o, latch = o.fire_latch;
    if (latch != o.fire_latch) latch = -1;
  }
  if (!matches)
    return "the model wants " + describe(first.tx, first.ty, first.recharge, first.change) + "; the game has " +
           describe(a.tx, a.ty, a.recharge, a.score - b.score);
  me.recharge = found.recharge;
  me.fire_latch = latch;
  if (latch >= 0 && a.key_fire != (latch == 1)) return at("the fire latch should be", latch);
  if (found.shot && !found.group) tally.power_shots++;
  if (found.group == 1) tally.lone_shots++;
  if (found.group > 1) tally.colour_shots++;
  tally.largest_group = std::max(tally.largest_group, found.group);
  // The group is the only blast in the well (the last shot was 40 frames
  // ago, and blasts clear in 8), unless a push-up dropped a row this frame.
  if (found.group && !esc && !pushed_up && count_blasts(a) != found.group)
    return at("blast cells after a shot at a group of " + std::to_string(found.group) + ":", count_blasts(a));
  return "";
}

// The game ends after a frame that began with Esc down, or whose push-up
// left a block or power-up in any column of the top row; Esc pressed during
// the frame (the pause reads it) may end it too. Nothing else does.
std::string check_end(const frame_state &b, const frame_state &a, bool pushed_up) {
  bool top = false;
  for (int c = 0; c < COLS; c++) top = top || a.cells[c * ROWS] > EMPTY;
  const bool must = b.held[5] || (pushed_up && top);
  if (a.playing && must)
    return b.held[5] ? "Esc was down, the game goes on" : "a block in the top row after a push-up, the game goes on";
  if (!a.playing && !must && a.escapes == b.escapes) return "the game ended without Esc or a block in the top row";
  return "";
}

// The well before and after the frame side by side, row 0 at the top.
std::string picture(const frame_state &b, const frame_state &a) {
  std::string out = "\nthe well before and after (. empty, 1-4 blocks, 5 6 a-d power-ups, * blasts):\n";
  for (int r = 0; r < ROWS; r++) {
    for (const frame_state *s : {&b, &a}) {
      out += "  ";
      for (int c = 0; c < COLS; c++) {
        const int v = s->cells[c * ROWS + r];
        out += v == EMPTY ? '.' : v < 0 ? '*' : v <= BAND_POWER ? char('0' + v) : char('a' + v - COLOUR_POWER);
      }
    }
    out += '\n';
  }
  return out;
}

std::string check_rules(const frame_state &before, const frame_state &after) {
  for (int i = 0; i < COLS * ROWS; i++)
    if (!valid_code(after.cells[i]))
      return at("cell " + std::to_string(i / ROWS) + "," + std::to_string(i % ROWS) + " holds", after.cells[i]);
  if (after.tx < 0 || after.tx > COLS - 1) return at("cursor column", after.tx);
  if (after.ty < 3 || after.ty > ROWS - 1) return at("cursor row", after.ty);
  if (after.lift < 0 || after.lift > 16 || after.lift % 2) return at("lift", after.lift);
  if (after.recharge < 0 || after.recharge > 160) return at("recharge", after.recharge);
  if (after.sparks > max_effects) return at("sparks", after.sparks);
  if (after.texts > max_effects) return at("score texts", after.texts);
  const bool pushed_up = before.lift == 16 && after.lift == 0;
  const std::string ended = check_end(before, after, pushed_up);
  return ended.empty() ? check_player(before, after, pushed_up) : ended;
}

}  // namespace

frame_state observe_frame() {
  frame_state s;
  std::memcpy(s.cells, set_grid, sizeof s.cells);
  s.tx = tx, s.ty = ty, s.lift = lift, s.recharge = recharge;
  s.score = score, s.bonus = bonus, s.n_power = n_power, s.key_fire = key_fire;
  s.sparks = static_cast<int>(spark.size());
  s.texts = static_cast<int>(score_msg.size());
  s.loop = loop_num;
  s.playing = game_state == STATE_GAME;
  const int keys[6] = {b_l, b_r, b_u, b_d, b_f, KEY_ESC};
  for (int i = 0; i < 6; i++) s.held[i] = key[keys[i]] != 0;
  s.escapes = bot_counts().escapes;
  return s;
}

std::string check_frame(const frame_state &before, const frame_state &after) {
  const std::string broken = check_rules(before, after);
  return broken.empty() ? "" : broken + picture(before, after);
}

const score_tally &score_counts() { return tally; }
