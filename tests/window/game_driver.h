// Playing the real game through its window: start it, look at its picture,
// press keys until the screen shows what a step should lead to. Every wait
// polls for a screen state with a generous timeout, so a busy machine only
// makes the tests slower, never wrong.
#pragma once
#include <functional>
#include <string>

#include "xharness.h"

// Another way to reach a game than its X window (the browser's page, say):
// its keys, named by X keysym, and its picture as the players see it.
struct game_io {
  virtual ~game_io() = default;
  virtual bool key_down(unsigned long keysym) = 0;
  virtual bool key_up(unsigned long keysym) = 0;
  // The game's picture at its size (320x240 or 640x480); false while unreadable.
  virtual bool grab(rgb_image &image) = 0;
};

// One game process in its own X server and folder, or a game reached
// through io, when that is set: then every step below goes through it.
struct game_session {
  xvfb_server server;
  work_folder folder;
  game_process game;
  x_window window = 0;
  game_io *io = nullptr;
  x_window other_copy = 0;  // another copy's window in the same X server (launch_other_copy)
  std::vector<std::string> env;  // given to the game on top of the runner's
};

typedef std::function<bool(const rgb_image &)> picture_check;

// The pictures and fonts: $KV_DATA_DIR, else the tree's data/.
std::string game_data_dir();
// Where the game's 320x240 picture lies in a window of width x height, as
// the players see it: 1:1 or doubled in a window, in full screen the
// largest whole factor that fits, centred. Factor 0: no size of the game's.
struct screen_layout {
  int factor, x, y;
};
screen_layout layout_of(int width, int height);
// How far a raw picture (the whole window) strays from the game's picture
// at layout at: pixels drawn outside it, squares' pixels unlike their
// row's first across, and rows of squares unlike their first row down.
void count_unlike_squares(const rgb_image &raw, const screen_layout &at, int &outside, int &across,
                          int &torn);

// X server, working folder, and the fonts and marker pictures the screen
// checks need.
// screen and window_manager as for start_xvfb.
bool prepare_session(game_session &s, const char *screen = nullptr, bool window_manager = false);
// Starts the game in the session's folder, waits for its window, gives it
// the focus.
bool launch_game(game_session &s, const std::vector<std::string> &args = {});
// Starts another copy of the game in the session's folder and X server and
// waits for it to draw (it has read both files then); its window is
// s.other_copy, which the session's own game never takes for its own.
bool launch_other_copy(game_session &s, game_process &copy);

// The game's 320x240 picture out of a whole window's (or page's) raw one:
// one pixel of each square the layout gives it (layout_of); false when the
// raw picture has no size of the game's.
bool to_picture(const rgb_image &raw, rgb_image &picture);
// The window's picture at the game's 320x240 (to_picture); false while it
// cannot be read.
bool grab_picture(game_session &s, rgb_image &picture);
// Polls until the picture passes check; picture holds the last grab.
bool wait_for_picture(game_session &s, const picture_check &check, int timeout_ms,
                      rgb_image *picture = nullptr);
// Holds the key down until the picture passes check, then lets it go.
bool hold_key_until(game_session &s, unsigned long keysym, const picture_check &check,
                    int timeout_ms, rgb_image *picture = nullptr);
// Holds the key down until the game has ended (or timeout_ms passed).
exit_result hold_key_until_exit(game_session &s, unsigned long keysym, int timeout_ms);
// Taps the key, waits up to retry_ms for check, and taps again if it did not
// pass: a tap the game did not see (a slow frame, or a screen still deaf to
// the key) costs one retry instead of the test.
bool tap_key_until(game_session &s, unsigned long keysym, const picture_check &check,
                   int timeout_ms, int retry_ms = 1000, rgb_image *picture = nullptr);

// Moves a menu's marker to entry target with the given up or down key, one
// checked tap at a time (the list wraps, so either key gets there).
bool choose_menu_entry(game_session &s, unsigned long step_keysym, int base_y, int entries,
                       int target, int timeout_ms = 10000);
// Moves the game cursor to (column, row) with the arrow keys, one checked
// tap at a time. The field may push the cursor up a row meanwhile; the loop
// just goes on from where it is.
bool move_cursor_to(game_session &s, int column, int row, int timeout_ms = 10000);

// Saves the picture as $KV_SCREENSHOT_DIR/screen-NAME.png when that is set.
void save_screenshot(const rgb_image &picture, const std::string &name);
// Where a failing test leaves the window's picture: window-TEST.png in the
// build folder of the window tests, never in the source tree.
std::string failure_picture_path(const std::string &test_name);
// On failure: the window at failure_picture_path and the game's stderr.
void report_session_failure(game_session &s, const std::string &test_name);
