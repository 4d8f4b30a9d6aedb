// Key presses with a check after each, so a step that the game missed is
// retried and a step that went wrong fails with the screen saved.
#include "game_driver.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "game_art.h"
#include "game_screens.h"

namespace {

const int window_timeout_ms = 10000;  // start-up loads every picture first
const int poll_step_ms = 10;
// The game reads keys once per 20 ms frame: a key let go and pressed again
// within one frame looks held throughout, and a held key only repeats every
// 8 frames. Three frames between a release and the next press make each
// press a fresh one.
const int release_gap_ms = 60;
const int tap_hold_ms = 80;  // several frames, well short of the 8-frame repeat
long long last_release_ms = 0;

bool press_key(game_session &s, unsigned long keysym) {
  const int wait = static_cast<int>(last_release_ms + release_gap_ms - now_ms());
  pause_ms(wait);
  return s.io ? s.io->key_down(keysym) : key_down(s.server, keysym);
}

void release_key(game_session &s, unsigned long keysym) {
  if (s.io)
    s.io->key_up(keysym);
  else
    key_up(s.server, keysym);
  last_release_ms = now_ms();
}

// True once the window shows anything but black: the game has set its
// final window mode and runs its first screen.
bool shows_something(game_session &s, x_window window) {
  rgb_image image;
  if (!grab_window(s.server, window, image)) return false;
  const int all = image.width * image.height;
  return all > 0 && count_colour(image, 0, 0, image.width, image.height, rgb_colour{}) < all;
}

}  // namespace

std::string game_data_dir() {
  const char *env = std::getenv("KV_DATA_DIR");
  return env && *env ? env : KV_DATA_DIR;
}

bool prepare_session(game_session &s, const char *screen, bool window_manager) {
  return load_game_art(game_data_dir()) && start_xvfb(s.server, screen, window_manager) &&
         make_work_folder(s.folder, game_data_dir());
}

bool launch_game(game_session &s, const std::vector<std::string> &args) {
  s.window = 0;
  if (!start_game(s.game, game_binary_path(), s.folder, s.server, args, s.env)) return false;
  // Start-up sets the window mode twice (before and after reading the
  // settings); a focus given in between can be lost, so wait for drawing.
  return poll_until(
      [&] {
        s.window = find_game_window(s.server, nullptr, s.other_copy);
        return s.window != 0 && shows_something(s, s.window) && focus_window(s.server, s.window);
      },
      window_timeout_ms, poll_step_ms);
}

bool launch_other_copy(game_session &s, game_process &copy) {
  if (!start_game(copy, game_binary_path(), s.folder, s.server, {}, s.env)) return false;
  return poll_until(
      [&] {
        s.other_copy = find_game_window(s.server, nullptr, s.window);
        return s.other_copy != 0 && shows_something(s, s.other_copy);
      },
      window_timeout_ms, poll_step_ms);
}

screen_layout layout_of(int width, int height) {
  if (width == 320 && height == 240) return {1, 0, 0};
  if (width == 640 && height == 480) return {2, 0, 0};
  if (width <= 640 || height <= 480) return {0, 0, 0};  // between two sizes
  const int factor = std::min(width / 320, height / 240);
  return {factor, (width - 320 * factor) / 2, (height - 240 * factor) / 2};
}

void count_unlike_squares(const rgb_image &raw, const screen_layout &at, int &outside, int &across,
                          int &torn) {
  outside = across = 0;
  std::vector<bool> torn_row(240, false);
  for (int y = 0; y < raw.height; y++)
    for (int x = 0; x < raw.width; x++) {
      const int px = x - at.x, py = y - at.y;
      if (px < 0 || py < 0 || px >= 320 * at.factor || py >= 240 * at.factor) {
        outside += !(pixel_at(raw, x, y) == rgb_colour{});
        continue;
      }
      const rgb_colour p = pixel_at(raw, x, y);
      across += !(p == pixel_at(raw, at.x + px / at.factor * at.factor, y));
      if (!(p == pixel_at(raw, x, at.y + py / at.factor * at.factor))) torn_row[py / at.factor] = true;
    }
  torn = static_cast<int>(std::count(torn_row.begin(), torn_row.end(), true));
}

bool grab_picture(game_session &s, rgb_image &picture) {
  rgb_image raw;
  if (s.io ? !s.io->grab(raw) : !s.window || !grab_window(s.server, s.window, raw)) return false;
  return to_picture(raw, picture);
}

bool to_picture(const rgb_image &raw, rgb_image &picture) {
  const screen_layout at = layout_of(raw.width, raw.height);
  if (at.factor == 0) return false;
  picture.width = 320;
  picture.height = 240;
  picture.rgb.resize(320 * 240 * 3);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      for (int c = 0; c < 3; ++c)
        picture.rgb[(y * 320 + x) * 3 + c] =
            raw.rgb[((at.y + at.factor * y) * raw.width + at.x + at.factor * x) * 3 + c];
  return true;
}

bool wait_for_picture(game_session &s, const picture_check &check, int timeout_ms,
                      rgb_image *picture) {
  rgb_image seen;
  const bool ok =
      poll_until([&] { return grab_picture(s, seen) && check(seen); }, timeout_ms, poll_step_ms);
  if (picture) *picture = std::move(seen);
  return ok;
}

bool hold_key_until(game_session &s, unsigned long keysym, const picture_check &check,
                    int timeout_ms, rgb_image *picture) {
  if (!press_key(s, keysym)) return false;
  const bool ok = wait_for_picture(s, check, timeout_ms, picture);
  release_key(s, keysym);
  return ok;
}

exit_result hold_key_until_exit(game_session &s, unsigned long keysym, int timeout_ms) {
  if (!press_key(s, keysym)) return exit_result();
  const exit_result r = wait_for_exit(s.game, timeout_ms);
  release_key(s, keysym);
  return r;
}

bool tap_key_until(game_session &s, unsigned long keysym, const picture_check &check,
                   int timeout_ms, int retry_ms, rgb_image *picture) {
  const long long deadline = now_ms() + timeout_ms;
  do {
    if (!press_key(s, keysym)) return false;
    pause_ms(tap_hold_ms);
    release_key(s, keysym);
    if (wait_for_picture(s, check, retry_ms, picture)) return true;
  } while (now_ms() < deadline);
  return false;
}

bool choose_menu_entry(game_session &s, unsigned long step_keysym, int base_y, int entries,
                       int target, int timeout_ms) {
  const long long deadline = now_ms() + timeout_ms;
  while (now_ms() < deadline) {
    int marked = -1;
    if (!wait_for_picture(
            s,
            [&](const rgb_image &p) {
              return (marked = find_marked_entry(p, base_y, entries)) >= 0;
            },
            2000))
      return false;
    if (marked == target) return true;
    tap_key_until(
        s, step_keysym,
        [&](const rgb_image &p) {
          const int now = find_marked_entry(p, base_y, entries);
          return now >= 0 && now != marked;
        },
        2000);
  }
  return false;
}

bool move_cursor_to(game_session &s, int column, int row, int timeout_ms) {
  const long long deadline = now_ms() + timeout_ms;
  while (now_ms() < deadline) {
    cursor_place at;
    if (!wait_for_picture(
            s, [&](const rgb_image &p) { return (at = find_cursor(p)).column >= 0; }, 2000))
      return false;
    if (at.column == column && at.row == row) return true;
    const unsigned long key = at.column < column   ? XK_Right
                              : at.column > column ? XK_Left
                              : at.row < row       ? XK_Down
                                                   : XK_Up;
    tap_key_until(
        s, key,
        [&](const rgb_image &p) {
          const cursor_place now = find_cursor(p);
          return now.column >= 0 && (now.column != at.column || now.row != at.row);
        },
        2000);
  }
  return false;
}

void save_screenshot(const rgb_image &picture, const std::string &name) {
  const char *dir = std::getenv("KV_SCREENSHOT_DIR");
  if (!dir || !*dir) return;
  const std::string path = std::string(dir) + "/screen-" + name + ".png";
  if (!write_png_image(path, picture)) std::cerr << "cannot write " << path << "\n";
}

std::string failure_picture_path(const std::string &test_name) {
  return std::string(KV_FAILURE_DIR) + "/window-" + test_name + ".png";
}

void report_session_failure(game_session &s, const std::string &test_name) {
  if (s.folder.path.empty()) return;
  rgb_image raw;
  if (s.window && grab_window(s.server, s.window, raw))
    write_png_image(failure_picture_path(test_name), raw);
  std::cerr << "--- game stderr (" << test_name << ") ---\n" << read_game_stderr(s.folder);
}
