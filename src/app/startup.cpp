#include "app/startup.h"

#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/game_screen.h"
#include "app/last_save.h"
#include "app/quit_signals.h"
#include "app/state_machine.h"
#include "core/clock.h"
#include "core/frame_log.h"
#include "core/resources.h"
#include "core/state.h"
#include "display/screen.h"
#include "display/window.h"
#include "field/grid.h"
#include "field/rise.h"
#include "frontend/menu.h"
#include "input/pad.h"
#include "platform/desktop.h"
#include "platform/nap.h"
#include "platform/places.h"
#include "platform/report.h"
#include "render/effects.h"
#include "store/scores.h"
#include "store/settings.h"

// One line on what could not be had, in the library's words when it has some.
static bool cannot_start(const char *what) {
  if (allegro_error[0]) return report_line("cannot start: %s: %s", what, allegro_error);
  return report_line("cannot start: %s", what);
}

static bool bring_up_allegro() {
  if (start_library() != 0) {
    char what[160];
    explain_no_display(what, sizeof what);
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
  if (!load_game(m)) return false;
  start_pads();  // once the window has its size: DirectInput ties pads to it
  return true;
}

bool load_game(menu &m) {
  if (!create_buffers() || !enter_picture_folder() || !load_resources()) return false;
  fill_field(false);
  connect_field();
  m.entries.clear();
  if (!enter_save_folder()) return false;
  load_settings();
  spd = rise_divisor(mode);  // the divisor is not stored: the saved difficulty brings its own
  if (!open_window(scrn_size, 0)) return false;  // a refused 640x480 falls back
  if (fullscreen_at_start) set_fullscreen(true);  // refused: the window it is
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

command_line read_options(int argc, char **argv) {
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("Usage: krove-vestin [--fullscreen]\n"
                  "A single-player action puzzle game: aim the cursor and burst groups of blocks.\n"
                  "  --fullscreen  start in full screen (F11 or Alt+Enter switches at any time)\n"
                  "  --help        show this and quit\n"
                  "  --version     show the version and quit\n");
      return command_line::answered;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("krove-vestin %s\n", KV_VERSION);
      return command_line::answered;
    }
    if (std::strcmp(argv[i], "--fullscreen") != 0) {
      report_line("unknown option \"%s\" (krove-vestin --help lists the options)", argv[i]);
      return command_line::not_understood;
    }
    fullscreen_at_start = true;
  }
  return command_line::play;
}

int run_program(int argc, char **argv) {
  note_frame(MARK_START);
  const command_line asked = read_options(argc, argv);
  if (asked != command_line::play) return asked == command_line::answered ? 0 : 2;
  menu m;
  begin_fine_timing();  // the library's timer thread, started by start_up, sleeps by it too
  int status = 1;
  if (start_up(m)) {
    while (!run_pass(m)) {
    }
    hold_quit_signals();  // nothing may cut the way out short now
    save_frame_notes();
    status = exit_status();
  }
  end_fine_timing();
  return status;
}
