#include "window_screens.h"

#include "game_screens.h"

screen classify(const rgb_image &p) {
  if (shows_live_game(p)) return screen::game;
  if (shows_pause(p)) return screen::pause;
  if (shows_band_over_game(p)) return screen::band;
  if (shows_title(p)) return screen::title;
  if (shows_options(p)) return screen::options;
  if (shows_difficulty(p)) return screen::difficulty;
  if (shows_heading(p, "HIGH SCORES")) return screen::high_scores;
  if (shows_size_changed(p)) return screen::size_changed;
  if (asked_action(p) >= 0) return screen::controls;
  return screen::unknown;
}

const char *screen_name(screen s) {
  switch (s) {
    case screen::title: return "title";
    case screen::options: return "options";
    case screen::difficulty: return "difficulty";
    case screen::controls: return "controls";
    case screen::size_changed: return "screen size";
    case screen::game: return "game";
    case screen::pause: return "pause";
    case screen::band: return "band";
    case screen::high_scores: return "high scores";
    default: return "unknown";
  }
}

const char *action_name(int action) {
  static const char *const names[6] = {"up", "down", "left", "right", "fire", "pause"};
  return action >= 0 && action < 6 ? names[action] : "";
}

int asked_action(const rgb_image &p) {
  for (int a = 0; a < 6; a++)
    if (shows_controls_step(p, action_name(a))) return a;
  return -1;
}
