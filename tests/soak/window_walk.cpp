#include "window_walk.h"

#include <X11/keysym.h>

#include <algorithm>

#include "game_screens.h"

namespace {

enum { UP, DOWN, LEFT, RIGHT, FIRE, PAUSE };
const unsigned long six_keys[6] = {XK_Up, XK_Down, XK_Left, XK_Right, XK_space, XK_1};
const int errands[4] = {2, 1, 3, 0};  // difficulty, screen size, controls, sound

bool chance(walker &w, double p) { return std::uniform_real_distribution<double>(0, 1)(w.rng) < p; }
int below(walker &w, int n) { return static_cast<int>(w.rng() % static_cast<unsigned>(n)); }

// A press held for several frames but short of the 8-frame repeat, then a
// gap of three frames so that the next press is a fresh one.
void tap(game_session &s, unsigned long keysym, int hold_ms = 80) {
  key_down(s.server, keysym);
  pause_ms(hold_ms);
  key_up(s.server, keysym);
  pause_ms(60);
}

// Up or down towards the goal entry, fire once the marker stands on it.
// Returns true when fire was pressed.
bool steer(game_session &s, walker &w, const rgb_image &p, int base_y, int entries, int goal) {
  const int marked = find_marked_entry(p, base_y, entries);
  if (marked < 0) return false;
  if (marked == goal) {
    tap(s, w.key_for[FIRE]);
    return true;
  }
  const int down_steps = (goal - marked + entries) % entries;
  tap(s, w.key_for[down_steps <= entries / 2 ? DOWN : UP]);
  return false;
}

// The first trip from the title runs every errand; after that, every
// third trip runs one of them in turn, and the others start a game.
void on_title(game_session &s, walker &w, const rgb_image &p, bool fresh) {
  if (fresh) {
    const int n = ++w.tally.titles;
    w.errands.clear();
    if (w.wanted_size >= 0) {
      if (w.wanted_size != w.size) w.errands.push_back(1);
    } else if (n == 1) {
      w.errands.assign(std::begin(errands), std::end(errands));
    } else if (n % 3 == 0) {
      w.errands.push_back(errands[(n / 3) % 4]);
    }
  }
  steer(s, w, p, 125, 3, w.errands.empty() ? 0 : 1);
}

void errand_done(walker &w, int entry) {
  if (!w.errands.empty() && w.errands.front() == entry) w.errands.erase(w.errands.begin());
}

void on_options(game_session &s, walker &w, const rgb_image &p) {
  // Esc leaves too, but only after the screen's first second.
  if (w.errands.empty() && now_ms() - w.entered_ms > 1500 && chance(w, 0.3)) {
    tap(s, XK_Escape);
    return;
  }
  const int goal = w.errands.empty() ? 4 : w.errands.front();
  if (steer(s, w, p, 100, 5, goal) && goal == 0) {
    errand_done(w, 0);  // the sound entry only comes back to this screen
    w.tally.sound_picks++;
  }
}

void on_difficulty(game_session &s, walker &w, const rgb_image &p, bool fresh) {
  if (fresh) {
    w.pick = below(w, 3);
    errand_done(w, 2);
  }
  if (steer(s, w, p, 110, 3, w.pick)) w.mode = w.pick + 1;
  if (fresh) w.tally.difficulty_picks++;
}

// The six actions get the six keys in a new order, one key per question.
void on_controls(game_session &s, walker &w, const rgb_image &p, bool fresh) {
  if (fresh) {
    std::copy(std::begin(six_keys), std::end(six_keys), w.new_key_for);
    std::shuffle(std::begin(w.new_key_for), std::end(w.new_key_for), w.rng);
    w.binding = -1;
    errand_done(w, 3);
  }
  const int asked = asked_action(p);
  if (asked < 0) return;
  if (w.binding >= 0 && asked != w.binding) {  // the last key was taken
    w.key_for[w.binding] = w.new_key_for[w.binding];
    w.tally.rebinds++;
  }
  w.binding = asked;
  tap(s, w.new_key_for[asked]);
}

void on_game(game_session &s, walker &w) {
  if (now_ms() > w.give_up_ms || w.wanted_size >= 0) {
    tap(s, XK_Escape);
    w.tally.escapes++;
    w.give_up_ms = now_ms() + 1000;  // a tap the game missed is tried again
    return;
  }
  const int r = below(w, 100);
  if (r < 3) {
    tap(s, w.key_for[PAUSE]);
    w.tally.pauses++;
  } else if (r < 30) {
    tap(s, w.key_for[FIRE], 30 + below(w, 300));
  } else {
    tap(s, w.key_for[below(w, 4)], 30 + below(w, 200));
  }
}

void on_pause(game_session &s, walker &w) {
  if (chance(w, 0.05)) {
    tap(s, XK_Escape);
    w.tally.escapes++;
  } else {
    tap(s, w.key_for[below(w, 6)]);  // the pause key among them ends it
  }
}

}  // namespace

void walk_start(walker &w, unsigned seed) {
  w = walker();
  w.rng.seed(seed);
  std::copy(std::begin(six_keys), std::end(six_keys), w.key_for);
  w.entered_ms = now_ms();
}

void walk_step(game_session &s, walker &w, const rgb_image &p) {
  const window_size window = get_window_size(s.server, s.window);
  const int size = window.width == 640 ? 1 : window.width == 320 ? 0 : w.size;
  if (size != w.size) {
    w.tally.size_changes++;
    errand_done(w, 1);  // the held fire may skip the screen that says so
  }
  w.size = size;
  const screen seen = classify(p);
  const bool fresh = seen != w.current;
  if (fresh) {
    // A controls screen left behind has taken its last key.
    if (w.current == screen::controls && w.binding >= 0) {
      w.key_for[w.binding] = w.new_key_for[w.binding];
      w.tally.rebinds++;
      w.binding = -1;
    }
    const bool was_playing = w.current == screen::game || w.current == screen::band ||
                             w.current == screen::pause;
    const bool playing = seen == screen::game || seen == screen::band || seen == screen::pause;
    if (playing && !was_playing) {
      w.tally.games++;
      w.give_up_ms = now_ms() + 3000 + below(w, 7000);  // unless the well fills first
    }
    w.current = seen;
    w.entered_ms = now_ms();
  }
  switch (seen) {
    case screen::title: on_title(s, w, p, fresh); break;
    case screen::options: on_options(s, w, p); break;
    case screen::difficulty: on_difficulty(s, w, p, fresh); break;
    case screen::controls: on_controls(s, w, p, fresh); break;
    case screen::size_changed: tap(s, chance(w, 0.5) ? w.key_for[FIRE] : XK_Escape); break;
    case screen::game: on_game(s, w); break;
    case screen::pause: on_pause(s, w); break;
    case screen::high_scores:
      if (now_ms() - w.entered_ms > 700) tap(s, chance(w, 0.5) ? w.key_for[FIRE] : XK_Escape);
      break;
    case screen::band: break;  // banners read no key
    default:
      // The splash, or a screen not drawn yet: fire moves the splash on.
      if (now_ms() - w.entered_ms > 1500) tap(s, w.key_for[FIRE]);
  }
}

int scancode_of(unsigned long keysym) {
  switch (keysym) {
    case XK_Up: return 84;
    case XK_Down: return 85;
    case XK_Left: return 82;
    case XK_Right: return 83;
    case XK_space: return 75;
    case XK_1: return 28;
    default: return -1;
  }
}
