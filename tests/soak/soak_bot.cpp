#include "soak_bot.h"

#include <allegro.h>

#include <random>

#include "core/clock.h"
#include "core/state.h"
#include "field/grid.h"
#include "field/shot.h"
#include "input/keys.h"
#include "frontend/screens.h"
#include "soak_aim.h"

namespace {

std::mt19937 rng;
bot_tally tally;

int last_state = 1000;   // the screen of the previous call
int last_loop = 0;
int goal = 0;            // the menu entry the player is heading for
int next_mode = 0;       // difficulty entry to pick next, in turn
int titles_seen = 0;
bool errand_done = false;  // the options trip from the title has done its errand
int options_goal = -1;   // the options entry this trip from the title is for
int pause_phase = 0;     // 0 none; 1 holding the first press; 2 let go; 3 second press
int pause_calls = 0;     // calls left in the current pause phase
bool esc_down = false;
bool skilled = false;    // this game is played to last, aiming at the best group
int games_seen = 0;
int controls_key = -1;   // the key held for the current binding step
int controls_step = -1;

bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }
int below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

void set_key(int scancode, bool down) {
  if (scancode >= 0 && scancode < KEY_MAX) key[scancode] = down ? 1 : 0;
}
bool is_down(int scancode) { return scancode >= 0 && scancode < KEY_MAX && key[scancode]; }

void let_go_of_everything() {
  for (int i = 0; i < KEY_MAX; i++) key[i] = 0;
  pause_phase = 0;
  esc_down = false;
  controls_key = -1;
}

// Menus: tap up or down towards the goal (a key acts on the frame it goes
// down, so every other call lets it go), then hold fire once the screen
// listens to it.
void steer(int index, int entries) {
  if (is_down(b_u) || is_down(b_d)) {
    set_key(b_u, false);
    set_key(b_d, false);
    return;
  }
  if (index != goal) {
    const int down_steps = (goal - index + entries) % entries;
    set_key(down_steps <= entries / 2 ? b_d : b_u, true);
    return;
  }
  set_key(b_f, loop_num > 31);
}

void new_screen(int state) {
  let_go_of_everything();
  switch (state) {
    case STATE_TITLE:
      // Mostly START; in turn the difficulty, the controls, and a quit.
      titles_seen++;
      errand_done = false;
      options_goal = titles_seen % 4 == 0 ? 2 : titles_seen % 25 == 7 ? 3 : -1;
      if (titles_seen % 40 == 13)
        goal = 2;
      else if (options_goal >= 0 || chance(0.03))
        goal = 1;
      else
        goal = 0;
      break;
    case STATE_OPTIONS: {
      // The window size cannot change without a window: never entry 1.
      static const int choices[] = {0, 2, 3, 4};  // sound, difficulty, controls, back
      if (errand_done)
        goal = 4;
      else if (options_goal >= 0)
        goal = options_goal;
      else
        goal = choices[below(4)];
      break;
    }
    case STATE_DIFFICULTY:
      goal = next_mode;
      next_mode = (next_mode + 1) % 3;
      errand_done = true;
      options_goal = -1;
      tally.difficulty_picks++;
      break;
    case STATE_CONTROLS:
      errand_done = true;
      goal = 0;
      break;
    case STATE_GAME:
      skilled = ++games_seen % 4 == 0;
      if (skilled) tally.skilled_games++;
      break;
    default:
      goal = 0;
  }
}

// A key no action holds yet, so the bindings stay apart and every action
// keeps a key of its own.
int free_key() {
  for (;;) {
    const int sc = 1 + below(KEY_TABLE_SIZE - 1);
    if (sc == ESC_SCANCODE) continue;
    if (sc == b_l || sc == b_r || sc == b_u || sc == b_d || sc == b_f || sc == b_p) continue;
    return sc;
  }
}

void controls_step_call() {
  if (controls_key >= 0 && bind_step != controls_step) {  // taken: let it go
    set_key(controls_key, false);
    controls_key = -1;
    tally.rebinds++;
    return;
  }
  if (controls_key < 0 && bind_step <= 5) {
    controls_step = bind_step;
    controls_key = free_key();
    set_key(controls_key, true);
  }
}

void toggle(int scancode, double p) {
  if (chance(p)) set_key(scancode, !is_down(scancode));
}

// The pause: a first press, let go past the band that opens the pause (13
// frames), a fresh press to resume, let go. A pause still open after the
// longest banner (27 frames without a game frame) gets another fresh press.
int still_calls = 0;  // calls since loop_num last moved in a game

void pause_call() {
  if (pause_phase == 0) {
    if (still_calls > 40) {
      pause_phase = 2;
      pause_calls = 1;
      still_calls = 0;
      set_key(b_p, false);
      return;
    }
    if (!chance(1.0 / 700)) return;
    pause_phase = 1;
    pause_calls = 1 + below(3);
    set_key(b_p, true);
    tally.pauses++;
    return;
  }
  if (--pause_calls > 0) return;
  pause_phase = (pause_phase + 1) % 4;
  pause_calls = pause_phase == 2 ? 14 + below(12) : 1 + below(2);
  set_key(b_p, pause_phase == 1 || pause_phase == 3);
}

// Aims at the best shot: a step towards it each other call, fire on it
// once the recharge is over.
void skilled_call() {
  for (int sc : {b_l, b_r, b_u, b_d})
    if (is_down(sc)) {
      set_key(sc, false);
      return;
    }
  const aim target = best_shot();
  if (target.column < 0) {
    set_key(b_f, false);
    return;
  }
  if (tx != target.column) set_key(tx < target.column ? b_r : b_l, true);
  if (ty != target.row) set_key(ty < target.row ? b_d : b_u, true);
  const bool on_target = tx == target.column && ty == target.row;
  set_key(b_f, on_target && recharge == 0 && !is_down(b_f));
}

void game_call() {
  if (skilled) {
    skilled_call();
  } else {
    for (int sc : {b_l, b_r, b_u, b_d}) toggle(sc, 0.1);
    set_key(b_f, is_down(b_f) ? !chance(0.3) : chance(0.2));
  }
  pause_call();
  if (esc_down) {
    set_key(KEY_ESC, false);
    esc_down = false;
  } else if (!skilled && chance(1.0 / 6000)) {
    set_key(KEY_ESC, true);
    esc_down = true;
    tally.escapes++;
  }
}

}  // namespace

void bot_start(unsigned seed) {
  rng.seed(seed);
  tally = bot_tally();
  last_state = 1000;
  titles_seen = 0;
  next_mode = 0;
  games_seen = 0;
  errand_done = false;
  let_go_of_everything();
}

void bot_step() {
  tally.waits++;
  const int state = game_state;
  still_calls = state == STATE_GAME && loop_num == last_loop ? still_calls + 1 : 0;
  // A new state shows first in the last frame of the screen that set it.
  if (state != last_state) new_screen(state);
  last_state = state;
  last_loop = loop_num;
  switch (state) {
    case STATE_SPLASH: set_key(b_f, chance(0.02)); break;
    case STATE_TITLE: steer(ty, 3); break;
    case STATE_OPTIONS:
      if (goal == 4 && chance(0.01) && loop_num > 51) set_key(KEY_ESC, true);
      else steer(ty, 5);
      break;
    case STATE_DIFFICULTY: steer(tx, 3); break;
    case STATE_CONTROLS: controls_step_call(); break;
    case STATE_GAME: game_call(); break;
    case STATE_GAME_OVER:
      if (chance(0.2) && loop_num > 31) set_key(KEY_ESC, true);
      else set_key(b_f, loop_num > 31);
      break;
    default: break;
  }
}

const bot_tally &bot_counts() { return tally; }
