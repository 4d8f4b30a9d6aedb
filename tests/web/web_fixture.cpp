#include "web_fixture.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <sstream>

#include "game_art.h"
#include "game_screens.h"
#include "game_steps.h"

web_bridge bridge;

namespace {
std::string bridge_trouble;
}

// Started once for every suite; stopped when the tests end.
void web_test::SetUpTestSuite() {
  if (bridge.pid <= 0 && bridge_trouble.empty()) start_bridge(bridge, bridge_trouble);
}

void web_test::SetUp() {
  ASSERT_TRUE(load_game_art(game_data_dir())) << "the art in " << game_data_dir();
  ASSERT_GT(bridge.pid, 0) << bridge_trouble;
  ASSERT_TRUE(bridge_call(bridge, "engine chromium"));
  s.io = &keys;
}

void web_test::TearDown() {
  std::string troubles;
  bridge_call(bridge, "troubles", &troubles);
  EXPECT_EQ(from_base64(troubles), "") << "uncaught errors, console errors or failed requests";
  if (HasFailure()) report_failure();
}

// The canvas and the page as shown, and the page's own line.
void web_test::report_failure() {
  const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
  rgb_image image;
  if (keys.grab(image))
    write_png_image(std::string(KV_WEB_FAILURE_DIR) + "/web-" + name + "-canvas.png", image);
  if (bridge_picture(bridge, "shot", image))
    write_png_image(std::string(KV_WEB_FAILURE_DIR) + "/web-" + name + "-page.png", image);
  std::cerr << "page: " << state() << ", status line \""
            << page_value(bridge, "document.getElementById('status').textContent") << "\"\n";
}

bool web_test::open_device(double density, int width, int height) {
  std::ostringstream device;
  device << "open {\"dsf\":" << density;
  if (width > 0)
    device << ",\"width\":" << width << ",\"height\":" << height << ",\"mobile\":true,\"touch\":true";
  device << "}";
  return bridge_call(bridge, device.str());
}

bool web_test::play_until_shown() {
  return bridge_call(bridge, "play") &&
         poll_until([&] { return page_number("kvCanvasLog.times.length") > 10; }, 20000, 100);
}

std::string web_test::state() { return page_value(bridge, "document.body.dataset.state"); }

double web_test::page_number(const std::string &expression) {
  const std::string v = page_value(bridge, "String(" + expression + ")");
  return v.empty() || v[0] == '(' ? -1 : std::atof(v.c_str());
}

bool web_test::keep_pictures(double from, int count, std::vector<double> &times) {
  const std::string at = from < 0 ? "performance.now()" : std::to_string(from);
  page_value(bridge, "kvCanvasLog.keep(" + at + ", " + std::to_string(count) + ")");
  const bool all = poll_until([&] { return page_number("kvCanvasLog.kept.length") == count; },
                              count * 40 + 10000, 500);
  std::istringstream words(page_value(bridge, "kvCanvasLog.keptTimes.join(' ')"));
  times.assign(std::istream_iterator<double>(words), std::istream_iterator<double>());
  return all && static_cast<int>(times.size()) == count;
}

bool web_test::kept_picture(size_t i, rgb_image &picture) {
  rgb_image raw;
  return bridge_picture(bridge, "kept " + std::to_string(i), raw) && to_picture(raw, picture);
}

double web_test::time_the_splash() {
  double first = -1;
  EXPECT_TRUE(poll_until(
      [&] {
        first = page_number(
            "kvCanvasLog.firstShown < 0 ? -1 : kvCanvasLog.times[kvCanvasLog.firstShown]");
        return first >= 0;
      },
      20000, 100))
      << "the page shows nothing; " << state();
  // The pictures from 4.6 s to 6.6 s kept; the first title among them ends
  // the splash: splash pictures come before end, title pictures from it on.
  std::vector<double> times;
  if (first < 0 || !keep_pictures(first + 4600, 100, times)) return -1;
  rgb_image p;
  size_t end = 0;
  for (size_t past = times.size(); end < past;) {
    const size_t mid = (end + past) / 2;
    if (kept_picture(mid, p) && shows_title(p))
      past = mid;
    else
      end = mid + 1;
  }
  EXPECT_GT(end, 0u) << "the title came before 4.6 s";
  EXPECT_LT(end, times.size()) << "no title by 6.6 s";
  if (end == 0 || end == times.size()) return -1;
  std::cout << "splash: " << times[end] - first << " ms in the page's stamps\n";
  return times[end] - first;
}

std::string web_test::canvas_size() {
  return page_value(bridge, "kvCanvasLog.width + 'x' + kvCanvasLog.height");
}

std::string web_test::shown_size() {
  return page_value(
      bridge, "(r => r.width + 'x' + r.height)(document.getElementById('canvas').getBoundingClientRect())");
}

bool web_test::in_full_screen() {
  return page_value(bridge, "String(document.fullscreenElement && document.fullscreenElement.id)") ==
         "stage";
}

std::string web_test::stored(const std::string &file) {
  return page_value(bridge, "localStorage.getItem('krove-vestin/" + file + "') ?? '(none)'");
}

void web_test::store(const std::string &file, const std::string &text) {
  page_value(bridge, "localStorage.setItem('krove-vestin/" + file + "', '" + text + "')");
}

void web_test::choose_screen_size_640(unsigned long fire) {
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1));
  ASSERT_TRUE(hold_key_until(s, fire, shows_options, 5000)) << "OPTIONS did not open";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, 1));
  ASSERT_TRUE(tap_key_until(
      s, fire, [&](const rgb_image &) { return canvas_size() == "640x480"; }, 5000))
      << "SCREEN SIZE: the canvas is " << canvas_size();
  rgb_image picture;
  ASSERT_TRUE(wait_for_picture(
      s, [](const rgb_image &p) { return shows_size_changed(p) || shows_options(p); }, 3000, &picture));
  if (!shows_options(picture)) {
    ASSERT_TRUE(tap_key_until(s, fire, shows_options, 5000)) << "fire did not end \"Press fire.\"";
  }
}

void web_test::quit_from_title() {
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 2));
  ASSERT_TRUE(tap_key_until(
      s, XK_space, [&](const rgb_image &) { return state() == "ended"; }, 5000))
      << "QUIT did not end the game";
  EXPECT_EQ(page_value(bridge, "document.body.dataset.status"), "0");
  EXPECT_EQ(page_value(bridge, "String(document.getElementById('again').hidden)"), "false");
}

// Going into full screen and out of it, Chromium shows the canvas blank
// until something is put on it, and may blank it a while after the switch:
// a blank box is looked at again, with a new picture put.
void web_test::shoot_held_picture(rgb_image &shot, rgb_image &game, double box[4]) {
  const long long give_up = now_ms() + 3000;
  for (;;) {
    page_value(bridge, "kvCanvasLog.hold(true)");
    ASSERT_TRUE(bridge_picture(bridge, "shot", shot) && bridge_picture(bridge, "grab", game));
    std::istringstream words(page_value(
        bridge,
        "(c => { const r = c.getBoundingClientRect(), d = devicePixelRatio; return [r.left * d, "
        "r.top * d, r.width * d, r.height * d].join(' '); })(document.getElementById('canvas'))"));
    ASSERT_TRUE(words >> box[0] >> box[1] >> box[2] >> box[3]);
    const int x = static_cast<int>(box[0] + box[2] / 2), y = static_cast<int>(box[1] + box[3] / 2);
    const rgb_colour page_colour = pixel_at(shot, 0, 0);
    const int blank =
        x < shot.width && y < shot.height ? count_colour(shot, x - 20, y - 20, 40, 40, page_colour) : 0;
    if (blank < 1600 || now_ms() > give_up) return;
    page_value(bridge, "kvCanvasLog.hold(false)");
    pause_ms(100);
  }
}

void web_test::expect_picture_shown_whole(int factor) {
  rgb_image shot, game;
  double box[4];
  ASSERT_NO_FATAL_FAILURE(shoot_held_picture(shot, game, box));
  page_value(bridge, "kvCanvasLog.hold(false)");
  const double left = box[0], top = box[1], width = box[2], height = box[3];
  for (const double edge : {left, top, width, height})
    EXPECT_NEAR(edge, std::round(edge), 0.02) << "the box is not on whole display pixels";
  const int x0 = static_cast<int>(std::round(left)), y0 = static_cast<int>(std::round(top));
  const int f = static_cast<int>(std::round(width)) / game.width;
  const bool full = factor == 0;
  if (full) factor = std::min(shot.width / game.width, shot.height / game.height);
  EXPECT_EQ(f, factor) << "display pixels a game pixel";
  EXPECT_EQ(f * game.width, std::round(width));
  EXPECT_EQ(f * game.height, std::round(height));
  ASSERT_TRUE(f > 0 && x0 >= 0 && y0 >= 0 && x0 + f * game.width <= shot.width &&
              y0 + f * game.height <= shot.height)
      << "the picture is not all on the screen: " << x0 << "," << y0 << " in " << shot.width << "x"
      << shot.height;
  int unlike = 0, around = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const bool in = x >= x0 && y >= y0 && x < x0 + f * game.width && y < y0 + f * game.height;
      if (in)
        unlike += !(pixel_at(shot, x, y) == pixel_at(game, (x - x0) / f, (y - y0) / f));
      else
        around += !(pixel_at(shot, x, y) == rgb_colour{});
    }
  EXPECT_EQ(unlike, 0) << "display pixels of the box unlike the game's at their place";
  if (full) {
    EXPECT_EQ(around, 0) << "pixels drawn around the picture";
  }
}
