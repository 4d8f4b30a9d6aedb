#include "support/test_env.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/game_screen.h"
#include "app/last_save.h"
#include "app/startup.h"
#include "core/clock.h"
#include "platform/desktop.h"
#include "core/state.h"
#include "display/screen.h"
#include "core/resources.h"
#include "display/window.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "input/keys.h"
#include "input/pad.h"
#include "frontend/screens.h"
#include "store/scores.h"
#include "render/band.h"
#include "render/effects.h"
#include "store/settings.h"

std::int64_t slept_ms = 0;
std::function<void()> on_frame_wait;

// There is no display: every window size is granted, and the memory screen stays.
static bool grant_window(int, int) { return true; }
static bool grant_fullscreen() { return true; }

// Sleeping moves the game's clock forward at once, so frames run at full speed.
static void fake_sleep(unsigned int ms) {
  if (on_frame_wait && timer == start_time) on_frame_wait();
  slept_ms += ms;
  timer += ms;
}

namespace {
class game_environment : public ::testing::Environment {
public:
  void SetUp() override {
    if (!system_driver) install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    // The layout the X11 window gives: red in bits 16-23, blue in 0-7.
    _rgb_r_shift_32 = 16;
    _rgb_g_shift_32 = 8;
    _rgb_b_shift_32 = 0;
    screen = create_bitmap(640, 480);
    sleep_ms = fake_sleep;
    reload_resources();
  }
};
const auto *const registered = ::testing::AddGlobalTestEnvironment(new game_environment);
}  // namespace

void reload_resources() {
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir(KV_DATA_DIR), 0);
  ASSERT_TRUE(create_buffers());
  ASSERT_TRUE(load_resources());
  ASSERT_EQ(chdir(here), 0);
}

void release_all_keys() {
  for (int i = 0; i < KEY_MAX; i++) key[i] = 0;
}
void press_key(int scancode) { key[scancode] = 1; }
void release_key(int scancode) { key[scancode] = 0; }

void reset_game() {
  connect_field();
  num_joysticks = 0;
  hold_pad_keys();  // the pads let go of what they held
  pad_lost = false;
  release_all_keys();
  timer = 0;
  start_time = 0;
  slept_ms = 0;
  on_frame_wait = nullptr;
  loop_num = 0;
  game_state = STATE_SPLASH;
  close_requested = false;
  scroll_t = 0;
  scrn_size = 0;
  request_window = grant_window;
  request_fullscreen = grant_fullscreen;
  fullscreen_from_outside = [] { return 0; };
  fullscreen = fullscreen_at_start = false;
  window_lost = false;
  saved_on_quit = false;
  save_stage = SAVE_NOT_BEGUN;
  b_l = KEY_LEFT, b_r = KEY_RIGHT, b_u = KEY_UP, b_d = KEY_DOWN, b_f = KEY_SPACE, b_p = KEY_1;
  mode = 2, spd = 18, sound = 1;
  highscore_e = highscore_n = highscore_h = 2000;
  game_over = false;
  lift = spd_up = nxt_lvl = 0, level = 1;
  n_power = 0;
  std::memset(set_grid, 0, sizeof set_grid);
  tx = ty = 0;
  recharge = reload = bonus = score = 0;
  focus_lost = false;
  key_fire = key_up = key_down = key_left = key_right = key_pause = false;
  t_up = t_down = t_left = t_right = 0;
  credit_scroll = 0;
  spark.clear();
  score_msg.clear();
  clear_to_color(buffer, makecol(0, 0, 0));
  clear_to_color(screen, makecol(0, 0, 0));
  std::srand(1);
}

std::uint32_t pixel_at(BITMAP *bmp, int x, int y) {
  return reinterpret_cast<std::uint32_t *>(bmp->line[y])[x];
}

std::uint32_t rgb(int r, int g, int b) { return static_cast<std::uint32_t>(makecol32(r, g, b)); }

temp_folder::temp_folder() {
  char here[4096];
  if (getcwd(here, sizeof here)) previous = here;
  char pattern[] = "/tmp/kv-test-XXXXXX";
  path = mkdtemp(pattern);
  if (chdir(path.c_str()) != 0) ADD_FAILURE() << "cannot enter " << path;
}

temp_folder::~temp_folder() {
  if (chdir(previous.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << previous;
  std::error_code ignored;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path, ignored);
}

std::string read_text(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_text(const std::string &path, const std::string &text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::uint32_t blended(std::uint32_t colour, std::uint32_t under, int strength) {
  std::uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const std::uint32_t c = (colour >> shift) & 255, u = (under >> shift) & 255;
    out |= ((strength * c + (4 - strength) * u) / 4) << shift;
  }
  return out;
}

// Tiles are drawn column by column, each column top to bottom, later over earlier.
std::uint32_t background_pixel(int x, int y, int scroll) {
  std::uint32_t result = 0;
  bool covered = false;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) {
      const int u = x - 197 * i, v = y - (197 * j - (scroll / 2) % 197);
      if (u < 0 || v < 0 || u >= background->w || v >= background->h) continue;
      const std::uint32_t p = pixel_at(background, u, v);
      if (p == 0xFF00FFu) continue;
      result = p;
      covered = true;
    }
  EXPECT_TRUE(covered) << "no tile covers " << x << "," << y;
  return result;
}
