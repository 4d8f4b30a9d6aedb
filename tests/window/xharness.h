// Drives the real game in a real X window: a private Xvfb server, a scratch
// working folder, the game process, its window, keys, the close button and
// the pixels on screen. Tests never include Xlib themselves.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

struct _XDisplay;  // Xlib's Display

// ---- time -------------------------------------------------------------

long long now_ms();  // monotonic milliseconds
void pause_ms(int ms);
// Calls check every step_ms until it returns true or timeout_ms pass.
bool poll_until(const std::function<bool()> &check, int timeout_ms, int step_ms = 5);

// ---- X server ---------------------------------------------------------

// One Xvfb on a free display number, plus our own connection to it.
// Stopped (and reaped) on destruction.
struct xvfb_server {
  int number = -1;          // the N of ":N"
  pid_t pid = -1;
  pid_t wm_pid = -1;        // the window manager, when there is one
  unsigned long other_window = 0;  // another program's window, to take the focus from the game
  _XDisplay *display = nullptr;
  std::string name;         // ":N"

  xvfb_server() = default;
  xvfb_server(const xvfb_server &) = delete;
  xvfb_server &operator=(const xvfb_server &) = delete;
  ~xvfb_server();
};

// Tries :90..:140 until an Xvfb comes up and accepts a connection (5 s each).
// Its screen is 1024x768 unless screen ("1920x1080x24") says otherwise.
// With a window manager asked for, or $KV_WINDOW_MANAGER set (to "openbox",
// say), that one runs on it too, as on a desktop ("openbox" when asked
// for), and has taken the screen before this returns.
bool start_xvfb(xvfb_server &server, const char *screen = nullptr, bool window_manager = false);
void stop_xvfb(xvfb_server &server);
// The X errors swallowed since the last call (windows can vanish under us).
int take_x_error_count();

// ---- working folder ---------------------------------------------------

// A scratch folder laid out like the game's install: "KV IMAGE" and the two
// fonts (and the .exe when the game is the Windows one). Removed (with
// everything the game wrote) on destruction.
struct work_folder {
  std::string path;
  std::string save_path;  // where the game keeps its two files: path, or under Wine its APPDATA folder

  work_folder() = default;
  work_folder(const work_folder &) = delete;
  work_folder &operator=(const work_folder &) = delete;
  ~work_folder();
};

// Links (or, with copy_images, copies) the pictures and fonts from data_dir;
// false if any of them is missing there.
bool make_work_folder(work_folder &folder, const std::string &data_dir, bool copy_images = false);
void remove_work_folder(work_folder &folder);
// A file of the folder; the game's own "KV settings.dat" and "KV scores.dat"
// are in its save folder.
std::string work_path(const work_folder &folder, const std::string &name);
bool write_work_file(const work_folder &folder, const std::string &name, const std::string &text);
// The file's bytes, or "" when it is missing (see work_file_exists).
std::string read_work_file(const work_folder &folder, const std::string &name);
bool work_file_exists(const work_folder &folder, const std::string &name);
bool remove_work_file(const work_folder &folder, const std::string &name);

// ---- game process -----------------------------------------------------

struct exit_result {
  bool exited = false;  // false: still running when the wait timed out
  int code = -1;        // exit status when it exited normally
  int signal = 0;       // the signal that ended it, or 0
};

// A running game. Killed and reaped on destruction if still alive.
struct game_process {
  pid_t pid = -1;
  bool reaped = false;
  exit_result result;

  game_process() = default;
  game_process(const game_process &) = delete;
  game_process &operator=(const game_process &) = delete;
  ~game_process();
};

// The binary to test: $KV_GAME_BINARY if set, else the one CMake built.
std::string game_binary_path();
// fork/exec with cwd = folder, DISPLAY = server and env ("NAME=value"),
// output to the files below.
bool start_game(game_process &game, const std::string &binary, const work_folder &folder,
                const xvfb_server &server, const std::vector<std::string> &args = {},
                const std::vector<std::string> &env = {});
exit_result wait_for_exit(game_process &game, int timeout_ms);
bool game_running(game_process &game);
void kill_game(game_process &game);
// What the game printed, captured in the working folder.
std::string read_game_stdout(const work_folder &folder);
std::string read_game_stderr(const work_folder &folder);
// Only the lines the game itself wrote there ("krove-vestin: ..."), not
// the sound library's chatter.
std::string read_game_lines(const work_folder &folder);

// Any program: argv[0] is looked up on PATH when it has no slash; it runs
// in cwd with env applied over the runner's environment ("NAME=value" sets,
// a bare "NAME" removes); its output goes to out_path and err_path, or
// nowhere when they are empty. Wait for it and kill it as for the game.
bool start_command(game_process &process, const std::vector<std::string> &argv,
                   const std::string &cwd, const std::vector<std::string> &env,
                   const std::string &out_path = "", const std::string &err_path = "");

// ---- the Windows game under Wine ---------------------------------------

// True when the game to test is the Windows .exe ($KV_GAME_BINARY ends in
// ".exe"): it runs under Wine in $WINEPREFIX, and keeps its two files in
// that prefix's %APPDATA%\Krove Vestin.
bool testing_windows_game();
std::string windows_appdata_folder();  // the prefix's %APPDATA%, or "" without one
// wine EXE ARGS..., with the environment Wine runs quietly in.
std::vector<std::string> windows_command(const std::string &exe, const std::vector<std::string> &args);
const std::vector<std::string> &wine_environment();
// Ends every Wine process of the prefix, and waits for them.
void end_wine_session();

// ---- the game window --------------------------------------------------

typedef unsigned long x_window;  // Xlib's Window

struct window_size {
  int width = 0;
  int height = 0;
};

// The viewable top-level window of class "krove-vestin" (under Wine the
// .exe's, "krove-vestin.exe") other than except, or 0; name (its title)
// may be null to accept any.
x_window find_game_window(xvfb_server &server, const char *name = nullptr, x_window except = 0);
x_window wait_for_game_window(xvfb_server &server, int timeout_ms, const char *name = nullptr);
window_size get_window_size(xvfb_server &server, x_window window);
struct window_place {
  int x = 0, y = 0;  // its top-left on the screen
};
window_place get_window_place(xvfb_server &server, x_window window);
// Whether the window manager holds the window in a state ("_NET_WM_STATE_FULLSCREEN").
bool window_in_state(xvfb_server &server, x_window window, const char *state);
// Allegro resizes its window in place on a mode change: poll until it fits.
bool wait_for_window_size(xvfb_server &server, x_window window, int width, int height,
                          int timeout_ms);
std::string get_window_name(xvfb_server &server, x_window window);  // the title
struct window_class {
  std::string name, group;  // WM_CLASS: instance and class
};
window_class get_window_class(xvfb_server &server, x_window window);
bool window_has_icon(xvfb_server &server, x_window window);  // an icon picture in its WM hints
// The Windows game's message box (it shows its one line there too): found
// and answered with Return; false while there is none.
bool answer_message_box(xvfb_server &server);

// ---- keys and the close button -----------------------------------------

// Input focus on the window and the pointer inside it, as a click would give.
bool focus_window(xvfb_server &server, x_window window);
bool key_down(xvfb_server &server, unsigned long keysym);
bool key_up(xvfb_server &server, unsigned long keysym);
// The game reads keys once per 20 ms frame, so hold well past one frame.
bool tap_key(xvfb_server &server, unsigned long keysym, int hold_ms = 80);
// The focus on the root window: the game's window has lost it.
bool focus_elsewhere(xvfb_server &server);
// The window dragged by its title bar with the pointer, as a player moves
// it; true once it is (dx, dy) from where it was.
bool drag_window(xvfb_server &server, x_window window, int dx, int dy);
// A key event sent straight to the game's window, not made by the keyboard:
// the game sees the key go down (or up) while the keyboard does not hold it.
bool send_key_event(xvfb_server &server, x_window window, unsigned long keysym, bool down);
// WM_PROTOCOLS / WM_DELETE_WINDOW, the message a desktop's close button sends.
bool send_close_message(xvfb_server &server, x_window window);
// Another client destroys the window, as xkill or a broken desktop might.
bool destroy_window(xvfb_server &server, x_window window);

// ---- pixels -------------------------------------------------------------

struct rgb_colour {
  unsigned char r = 0, g = 0, b = 0;
};
bool operator==(const rgb_colour &a, const rgb_colour &b);

struct rgb_image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // width*height*3, rows top to bottom
};

// Reads the window's pixels back; false if it cannot be read (gone, unmapped).
bool grab_window(xvfb_server &server, x_window window, rgb_image &image);
// Only the width x height pixels from (x0, y0) of it: a grab of a large
// window's corner of interest costs a fraction of the whole.
bool grab_window_part(xvfb_server &server, x_window window, int x0, int y0, int width, int height,
                      rgb_image &image);
rgb_colour pixel_at(const rgb_image &image, int x, int y);
// Pixels of exactly this colour in the rectangle (clipped to the image).
int count_colour(const rgb_image &image, int x, int y, int w, int h, rgb_colour colour);
// 8-bit RGB PNG, for looking at a failure or showing the game.
bool write_png_image(const std::string &path, const rgb_image &image);
