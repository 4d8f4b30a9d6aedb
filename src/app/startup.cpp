#include "app/startup.h"

#include <allegro.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "core/clock.h"
#include "core/state.h"
#include "core/screen.h"
#include "core/frame_log.h"
#include "core/resources.h"
#include "app/state_machine.h"
#include "field/grid.h"
#include "frontend/menu.h"
#include "render/effects.h"
#include "store/scores.h"
#include "store/settings.h"

static bool open_window() {
  if (set_window_size()) return true;
  std::fprintf(stderr, "krove-vestin: cannot open a %dx%d 32-bit window: %s\n",
               320 * (1 + scrn_size), 240 * (1 + scrn_size), allegro_error);
  return false;
}

// Allegro's X thread, started by allegro_init, wakes every millisecond to
// look for window events and sends the picture every ten; a thousand
// wake-ups a second cost more than drawing a menu. Born with a timer slack
// of 9 ms it may sleep the ten. The timer thread and the frame wait, started
// later, keep the usual slack and their precision.
static void init_allegro_with_a_lazy_x_thread() {
  const int usual = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  prctl(PR_SET_TIMERSLACK, 9000000UL, 0, 0, 0);
  allegro_init();
  if (usual > 0) prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(usual), 0, 0, 0);
}

bool start_up(menu &m) {
  init_allegro_with_a_lazy_x_thread();
  install_keyboard();
  install_timer();
  set_color_depth(32);
  if (!open_window()) return false;  // 320x240 until the settings are read
  install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, "");
  set_close_button_callback(quit_game);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  install_int_ex(update_timer, MSEC_TO_TIMER(1));
  if (!create_buffers() || !load_resources()) return false;
  fill_field(false);
  m.entries.clear();
  load_settings();
  if (!open_window()) return false;
  load_highscores();
  return true;
}

template <typename T, typename F>
static void release(T *&handle, F destroy) {
  if (handle) destroy(handle);
  handle = nullptr;
}

void quit_sequence(menu &m) {
  save_settings();
  save_highscores();
  remove_int(update_timer);
  m.entries.clear();
  release(buffer, destroy_bitmap);
  spark.clear();
  score_msg.clear();
  release(credit_bar, destroy_bitmap);
  release(n_block, destroy_bitmap);
  release(background, destroy_bitmap);
  release(reg_txt, destroy_font);
  release(lrg_txt, destroy_font);
  for (BITMAP *&b : block) release(b, destroy_bitmap);
  for (BITMAP *&b : pow_up) release(b, destroy_bitmap);
  for (int i = 0; i < 4; i++) {
    release(blast[i], destroy_bitmap);
    release(fireball[i], destroy_bitmap);
  }
}

int run_program() {
  note_frame(MARK_START);
  menu m;
  if (!start_up(m)) return 1;
  while (!run_pass(m)) {
  }
  save_frame_notes();
  return 0;
}
