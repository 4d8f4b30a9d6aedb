#include "app/startup.h"

#include <allegro.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/last_save.h"
#include "app/quit_signals.h"
#include "app/state_machine.h"
#include "core/clock.h"
#include "core/desktop.h"
#include "core/frame_log.h"
#include "core/resources.h"
#include "core/screen.h"
#include "core/state.h"
#include "core/window.h"
#include "field/grid.h"
#include "field/rise.h"
#include "frontend/menu.h"
#include "render/effects.h"
#include "store/scores.h"
#include "store/settings.h"

// Allegro's X thread, started by allegro_init, wakes every millisecond and
// every ten reads the window's events (keys too) and sends the picture; a
// thousand wake-ups a second cost more than drawing a menu. Born with a
// timer slack of 4 ms it wakes a few hundred times; more slack delays keys
// on screen: at 9 ms p95 key-to-screen was 2.9-5 ms over no slack; at 4 ms
// mean and p95 were at most 0.5 and 1.0 ms over it, the thread's CPU
// 0.8-1.2 % against 1.7-1.9 % (bench/measure-latency.sh). The timer thread and the
// frame wait, started later, keep the usual slack and their precision.
#ifndef KV_X_TIMER_SLACK_US  // the measurement build may try another
#define KV_X_TIMER_SLACK_US 4000
#endif
static int init_allegro_with_a_lazy_x_thread() {
  const int usual = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  prctl(PR_SET_TIMERSLACK, KV_X_TIMER_SLACK_US * 1000UL, 0, 0, 0);  // 0: back to the usual
  const int result = allegro_init();
  if (usual > 0) prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(usual), 0, 0, 0);
  return result;
}

// One line on what could not be had, in the library's words when it has some.
static bool cannot_start(const char *what) {
  if (allegro_error[0])
    std::fprintf(stderr, "krove-vestin: cannot start: %s: %s\n", what, allegro_error);
  else
    std::fprintf(stderr, "krove-vestin: cannot start: %s\n", what);
  return false;
}

// Without a display Allegro finds no system driver at all, and says nothing.
static bool bring_up_allegro() {
  if (init_allegro_with_a_lazy_x_thread() != 0) {
    const char *display = std::getenv("DISPLAY");
    char what[160];
    if (display && *display)
      std::snprintf(what, sizeof what, "no connection to the X display \"%s\"", display);
    else
      std::snprintf(what, sizeof what, "no X display (DISPLAY is not set)");
    return cannot_start(what);
  }
  if (install_keyboard() != 0) return cannot_start("no keyboard");
  if (install_timer() != 0) return cannot_start("no timer");
  return true;
}

bool start_up(menu &m) {
  name_window();
  if (!bring_up_allegro()) return false;
  install_quit_signals();  // after allegro_init, which sets its own
  watch_display();
  title_window();
  set_color_depth(32);
  if (!open_window(0, 0)) return false;  // 320x240 until the settings are read
  install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, "");
  set_close_button_callback(quit_game);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  if (install_int_ex(update_timer, MSEC_TO_TIMER(1)) != 0) return cannot_start("no 1 ms timer");
  return load_game(m);
}

bool load_game(menu &m) {
  if (!create_buffers() || !load_resources()) return false;
  fill_field(false);
  m.entries.clear();
  load_settings();
  spd = rise_divisor(mode);  // the divisor is not stored: the saved difficulty brings its own
  if (!open_window(scrn_size, 0)) return false;  // a refused 640x480 falls back
  load_highscores();
  save_stage = SAVE_NOT_BEGUN;  // from here on there is something to keep
  return true;
}

bool saved_on_quit = false;

void quit_sequence(menu &m) {
  saved_on_quit = save_both_files();
  remove_int(update_timer);
  m.entries.clear();
  spark.clear();
  score_msg.clear();
  release_resources();
}

int exit_status() { return saved_on_quit && !window_lost ? 0 : 1; }

int run_program() {
  note_frame(MARK_START);
  menu m;
  if (!start_up(m)) return 1;
  while (!run_pass(m)) {
  }
  hold_quit_signals();  // nothing may cut the way out short now
  save_frame_notes();
  return exit_status();
}
