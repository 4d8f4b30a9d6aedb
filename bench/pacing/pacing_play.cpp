#include "pacing_play.h"

#include <X11/keysym.h>

#include "field_reader.h"

namespace {

const int recharge_ms = 850;  // 40 frames of recharge, and a little more

void step_towards(xvfb_server &server, int from, int to, unsigned long less, unsigned long more) {
  for (; from < to; from++) tap_key(server, more, 60), pause_ms(50);
  for (; from > to; from--) tap_key(server, less, 60), pause_ms(50);
}

void save_shot(xvfb_server &server, x_window window, const std::string &dir, int n) {
  rgb_image image;
  if (grab_window(server, window, image))
    write_png_image(dir + "/game-" + std::to_string(n) + ".png", image);
}

}  // namespace

play_result play_game(xvfb_server &server, x_window window, int play_ms, const std::string &shots_dir) {
  const long long begin = now_ms();
  long long last_fire = 0;
  bool paused_once = false;
  play_result result;
  int pictures = 0;
  long long last_live = now_ms();
  while (now_ms() - begin < play_ms) {
    if (!shots_dir.empty() && (now_ms() - begin) / 5000 >= pictures)
      save_shot(server, window, shots_dir, pictures++);
    if (!paused_once && now_ms() - begin > 25000) {
      paused_once = true;
      tap_key(server, XK_1);
      pause_ms(4000);
      tap_key(server, XK_1);
      pause_ms(700);  // the band goes out before keys count again
      last_live = now_ms();
      continue;
    }
    rgb_image image;
    field_view view;
    // Nothing to aim at under a banner: look again shortly.
    if (!grab_window(server, window, image) || !read_field(image, view)) {
      // Longer than any banner: the game is over, lost to the field.
      if (now_ms() - last_live > 4000) {
        result.lost = true;
        break;
      }
      pause_ms(100);
      continue;
    }
    last_live = now_ms();
    const aim a = choose_aim(view);
    if (a.col < 0) {  // nothing worth a shot yet
      pause_ms(200);
      continue;
    }
    // The cursor rides up with the field, so relative steps stay right.
    step_towards(server, view.cursor_col, a.col, XK_Left, XK_Right);
    step_towards(server, view.cursor_row, a.row, XK_Up, XK_Down);
    pause_ms(static_cast<int>(last_fire + recharge_ms - now_ms()));
    tap_key(server, XK_space, 60);
    last_fire = now_ms();
    result.shots++;
    pause_ms(300);  // the blast is over before the next look
  }
  result.played_ms = now_ms() - begin;
  return result;
}
