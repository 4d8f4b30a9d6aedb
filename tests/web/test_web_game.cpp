// The browser game in Chromium, played with real keys through its page, on
// the window tests' roads and with their expectations: the splash's pace,
// the title pixel for pixel as the native window shows it, a whole game,
// QUIT, the pause while the page is away, full screen, and the two files
// in the page's storage across a closed tab and a new one.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game_art.h"
#include "game_driver.h"
#include "game_road.h"
#include "game_screens.h"
#include "game_steps.h"
#include "web_bridge.h"

namespace {

const char *const default_settings = "2 0 1 84 85 82 83 75 28";

// Frame n of an untouched title is one picture wherever the game runs: the
// background rises a pixel every two frames, the ticker moves every three
// frames of its runs and the marker turns every five. The native game's
// title pictures, collected from its window under Xvfb before the browser
// starts (never beside it: the page would lose frames), are filed by the
// background's left edge (nothing is drawn over it): two frames at most
// share one place of the background. A browser picture must be one of the
// native pictures of its place. Where the native grabs caught only one of
// the two frames (each stands 20 ms; a busy machine can miss one), a
// browser picture that differs from it in the ticker and the marker alone
// may be the missed one: left out, not failed; anything else is a fault.
struct native_titles {
  std::map<std::string, std::set<std::vector<unsigned char>>> by_background;

  static std::string background_of(const rgb_image &p) {
    std::string edge;
    for (int y = 0; y < 220; ++y)
      edge.append(reinterpret_cast<const char *>(&p.rgb[y * 320 * 3]), 4 * 3);
    return edge;
  }

  // The picture without the ticker's rows and the marker's box.
  static std::vector<unsigned char> still_part(std::vector<unsigned char> p) {
    std::fill(&p[220 * 320 * 3], &p[232 * 320 * 3], 0);
    for (int y = 125; y < 135; ++y) std::fill(&p[(y * 320 + 110) * 3], &p[(y * 320 + 126) * 3], 0);
    return p;
  }

  // 1: seen natively; 0: its frame was missed natively; -1: unlike.
  int judge(const rgb_image &p) const {
    const auto at = by_background.find(background_of(p));
    if (at == by_background.end()) return 0;
    if (at->second.count(p.rgb)) return 1;
    return at->second.size() == 1 && still_part(p.rgb) == still_part(*at->second.begin()) ? 0 : -1;
  }

  // The title's first ms milliseconds in the native window.
  void collect(int ms) {
    game_session n;
    ASSERT_TRUE(start_xvfb(n.server) && make_work_folder(n.folder, game_data_dir()) &&
                launch_game(n))
        << "no native game: " << read_game_stderr(n.folder);
    rgb_image p;
    long long title_from = 0;
    const long long give_up = now_ms() + 30000;
    while (now_ms() < give_up && !(title_from && now_ms() - title_from > ms)) {
      if (grab_picture(n, p) && shows_title(p)) {
        if (!title_from) title_from = now_ms();
        by_background[background_of(p)].insert(p.rgb);
      }
      pause_ms(4);  // each frame stands 20 ms
    }
    kill_game(n.game);
    ASSERT_TRUE(title_from) << "the native game showed no title";
  }
};

web_bridge bridge;
std::string bridge_trouble;

class WebGame : public testing::Test {
 protected:
  // One browser for every test: it takes seconds to start.
  static void SetUpTestSuite() { start_bridge(bridge, bridge_trouble); }
  static void TearDownTestSuite() { stop_bridge(bridge); }

  void SetUp() override {
    ASSERT_TRUE(load_game_art(game_data_dir())) << "the art in " << game_data_dir();
    ASSERT_GT(bridge.pid, 0) << bridge_trouble;
    s.io = &io;
  }

  void TearDown() override {
    std::string troubles;
    bridge_call(bridge, "troubles", &troubles);
    EXPECT_EQ(from_base64(troubles), "") << "uncaught errors, console errors or failed requests";
    if (HasFailure()) report_failure();
  }

  // The canvas and the page as shown, and the page's own line.
  void report_failure() {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    rgb_image image;
    if (io.grab(image))
      write_png_image(std::string(KV_WEB_FAILURE_DIR) + "/web-" + name + "-canvas.png", image);
    if (bridge_picture(bridge, "shot", image))
      write_png_image(std::string(KV_WEB_FAILURE_DIR) + "/web-" + name + "-page.png", image);
    std::cerr << "page: " << state() << ", status line \""
              << page_value(bridge, "document.getElementById('status').textContent") << "\"\n";
  }

  std::string state() { return page_value(bridge, "document.body.dataset.state"); }
  double page_number(const std::string &expression) {
    const std::string v = page_value(bridge, "String(" + expression + ")");
    return v.empty() || v[0] == '(' ? -1 : std::atof(v.c_str());
  }
  // Keeps the next count pictures the page puts from its time from on (-1:
  // from now), waits for them without a look at the page meanwhile but a
  // count every half second, and gives their times.
  bool keep_pictures(double from, int count, std::vector<double> &times) {
    const std::string at = from < 0 ? "performance.now()" : std::to_string(from);
    page_value(bridge, "kvCanvasLog.keep(" + at + ", " + std::to_string(count) + ")");
    const bool all = poll_until(
        [&] { return page_number("kvCanvasLog.kept.length") == count; }, count * 40 + 10000, 500);
    std::istringstream words(page_value(bridge, "kvCanvasLog.keptTimes.join(' ')"));
    times.assign(std::istream_iterator<double>(words), std::istream_iterator<double>());
    return all && static_cast<int>(times.size()) == count;
  }
  bool kept_picture(size_t i, rgb_image &picture) {
    rgb_image raw;
    return bridge_picture(bridge, "kept " + std::to_string(i), raw) && to_picture(raw, picture);
  }
  std::string canvas_size() {
    return page_value(bridge, "(c => c.width + 'x' + c.height)(document.getElementById('canvas'))");
  }
  // The size the canvas is shown at on the page, in CSS pixels.
  std::string shown_size() {
    return page_value(bridge,
                      "(r => r.width + 'x' + "
                      "r.height)(document.getElementById('canvas').getBoundingClientRect())");
  }
  bool in_full_screen() {
    return page_value(bridge,
                      "String(document.fullscreenElement && document.fullscreenElement.id)") ==
           "stage";
  }
  // One of the game's two files as the page keeps it, or "(none)".
  std::string stored(const std::string &file) {
    return page_value(bridge, "localStorage.getItem('krove-vestin/" + file + "') ?? '(none)'");
  }
  void store(const std::string &file, const std::string &text) {
    page_value(bridge, "localStorage.setItem('krove-vestin/" + file + "', '" + text + "')");
  }
  // Alt held, Enter tapped (the game reads keys once a frame) until the
  // page is in full screen, or out of it.
  bool switch_full_screen(bool to_full) {
    io.key_down(XK_Alt_L);
    const bool ok = tap_key_until(
        s, XK_Return, [&](const rgb_image &) { return in_full_screen() == to_full; }, 3000, 1000);
    io.key_up(XK_Alt_L);
    return ok;
  }

  // QUIT on the title: the page says the game has ended, status 0.
  void quit_from_title() {
    ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 2));
    ASSERT_TRUE(tap_key_until(
        s, XK_space, [&](const rgb_image &) { return state() == "ended"; }, 5000))
        << "QUIT did not end the game";
    EXPECT_EQ(page_value(bridge, "document.body.dataset.status"), "0");
    EXPECT_EQ(page_value(bridge, "String(document.getElementById('again').hidden)"), "false");
  }

  // #stage fills the page: the picture at the largest whole factor that
  // fits, centred, every pixel of it a whole square, black around; it is
  // the game's picture, the title's.
  void expect_full_screen_title() {
    ASSERT_TRUE(poll_until([&] { return in_full_screen(); }, 3000, 50))
        << "#stage not in full screen";
    screen_layout at{};
    int outside = -1, across = -1, torn = -1;
    rgb_image shot, picture;
    poll_until(
        [&] {
          if (!bridge_picture(bridge, "shot", shot)) return false;
          at = layout_of(shot.width, shot.height);
          count_unlike_squares(shot, at, outside, across, torn);
          return at.factor > 1 && outside == 0 && across == 0 && torn == 0;
        },
        3000, 50);
    EXPECT_GT(at.factor, 1) << "page " << shot.width << "x" << shot.height;
    EXPECT_EQ(shown_size(),
              std::to_string(320 * at.factor) + "x" + std::to_string(240 * at.factor));
    EXPECT_EQ(outside, 0) << "pixels drawn around the picture";
    EXPECT_EQ(across, 0) << "squares not " << at.factor << " pixels wide";
    EXPECT_EQ(torn, 0) << "squares not " << at.factor << " pixels high";
    EXPECT_TRUE(to_picture(shot, picture) && shows_title(picture)) << "not the title, scaled";
    EXPECT_EQ(canvas_size(), "320x240") << "full screen changed the game's screen";
  }

  // The picture held, as the page's screenshot shows it. Going into full
  // screen and out of it, Chromium shows the canvas blank until something
  // is put on it, and may blank it a while after the switch: a blank box is
  // looked at again, with a new picture put.
  void shoot_held_picture(rgb_image &shot, rgb_image &game, double box[4]) {
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
      const int blank = x < shot.width && y < shot.height
                            ? count_colour(shot, x - 20, y - 20, 40, 40, page_colour)
                            : 0;
      if (blank < 1600 || now_ms() > give_up) return;
      page_value(bridge, "kvCanvasLog.hold(false)");
      pause_ms(100);
    }
  }

  // The held picture as the page's screenshot shows it: factor display
  // pixels a game pixel (0: the largest that fits the page), the box on
  // whole display pixels, every pixel in it the game's, black around it
  // when factor is 0.
  void expect_picture_shown_whole(double factor) {
    rgb_image shot, game;
    double box[4];
    ASSERT_NO_FATAL_FAILURE(shoot_held_picture(shot, game, box));
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
        << "the picture is not all on the screen: " << x0 << "," << y0 << " in " << shot.width
        << "x" << shot.height;
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

  void expect_back_in_the_page() {
    EXPECT_TRUE(
        poll_until([&] { return !in_full_screen() && shown_size() == "320x240"; }, 3000, 50))
        << "still in full screen, or shown at " << shown_size();
    EXPECT_TRUE(wait_for_picture(s, shows_title, 2000)) << "the title went away";
  }

  web_game io{bridge};
  game_session s;
};

}  // namespace

// From a fresh profile: the splash's 280 frames of 20 ms take 5.6 s as in
// the window (WindowPace), timed by the page's own stamps of its pictures;
// the title untouched is the native title pixel for pixel; a whole game
// with real keys; QUIT writes both files with the Linux bytes.
TEST_F(WebGame, PaceTitlePixelsAWholeGameAndQuit) {
  native_titles native;
  ASSERT_NO_FATAL_FAILURE(native.collect(6000));
  ASSERT_TRUE(bridge_call(bridge, "open"));
  ASSERT_TRUE(bridge_call(bridge, "play"));

  // The page notes the time of each picture; the test only asks, now and
  // then, a question that takes it no time.
  double first = -1;
  ASSERT_TRUE(poll_until(
      [&] {
        first = page_number(
            "kvCanvasLog.firstShown < 0 ? -1 : kvCanvasLog.times[kvCanvasLog.firstShown]");
        return first >= 0;
      },
      20000, 100))
      << "the page shows nothing; " << state();
  // The pictures from 4.6 s to 6.6 s kept; the first title among them ends
  // the splash.
  std::vector<double> times;
  ASSERT_TRUE(keep_pictures(first + 4600, 100, times));
  rgb_image p;
  const auto title_at = [&](size_t i) {
    EXPECT_TRUE(kept_picture(i, p)) << "kept picture " << i;
    return shows_title(p);
  };
  size_t end = 0;  // splash pictures come before end, title pictures from it on
  for (size_t past = times.size(); end < past;) {
    const size_t mid = (end + past) / 2;
    if (title_at(mid))
      past = mid;
    else
      end = mid + 1;
  }
  ASSERT_GT(end, 0u) << "the title came before 4.6 s";
  ASSERT_LT(end, times.size()) << "no title by 6.6 s";
  EXPECT_NEAR(times[end] - first, 5600, 560);
  std::cout << "splash: " << times[end] - first << " ms in the page's stamps\n";

  // Two and a half seconds of the title, every picture, as the page put them.
  ASSERT_TRUE(keep_pictures(-1, 125, times));
  int alike = 0, unlike = 0;
  for (size_t i = 0; i < times.size(); ++i) {
    ASSERT_TRUE(kept_picture(i, p));
    ASSERT_TRUE(shows_title(p)) << "the title went away";
    const int judged = native.judge(p);
    alike += judged == 1;
    if (judged < 0 && unlike++ == 0)
      write_png_image(std::string(KV_WEB_FAILURE_DIR) + "/web-title-unlike.png", p);
  }
  EXPECT_EQ(unlike, 0) << "browser title pictures unlike the native ones of their frame (the "
                          "first: web-title-unlike.png)";
  EXPECT_GE(alike, static_cast<int>(times.size()) * 3 / 4)
      << "too few browser pictures seen natively";
  std::cout << "title: " << times.size() << " browser pictures, " << alike
            << " the same as a native one of their frame, " << unlike << " unlike ("
            << native.by_background.size() << " places of the native background)\n";

  int normal = 0;
  ASSERT_NO_FATAL_FAILURE(play_one_game(s, normal));
  ASSERT_NO_FATAL_FAILURE(quit_from_title());
  EXPECT_EQ(stored("KV settings.dat"), default_settings);
  EXPECT_EQ(stored("KV scores.dat"), "2000 " + std::to_string(normal) + " 2000");
}

// Saved best scores read at the start; the page minimized pauses the game
// until the pause key; full screen by Alt+Enter, by the button, and left by
// the browser; SCREEN SIZE 640x480 kept by a closed tab, and a new tab
// playing with both files.
TEST_F(WebGame, AwayFullScreenAndTheFilesAcrossTabs) {
  ASSERT_TRUE(bridge_call(bridge, "open"));
  store("KV settings.dat", default_settings);
  store("KV scores.dat", "2100 -100 1900");
  // A game, away meanwhile or not, given up at once: score 0 beats the saved
  // -100 on Normal, the other two stand as saved; Esc back to the title.
  const auto play_to_the_table = [&](bool away) {
    ASSERT_TRUE(skip_to_title(s, XK_space)) << "no title; " << state();
    ASSERT_TRUE(start_play(s, XK_space));
    if (away) {
      ASSERT_NO_FATAL_FAILURE(pause_while_away(
          s, [] { return bridge_call(bridge, "minimize"); },
          [] { return bridge_call(bridge, "restore"); }));
    }
    ASSERT_TRUE(give_up_play(s));
    ASSERT_TRUE(wait_for_picture(
        s, [](const rgb_image &p) { return shows_score_table(p, 1900, 0, 2100); }, 5000))
        << "no table showing 1900 / 0 / 2100 (hard, normal, easy)";
    ASSERT_TRUE(tap_key_until(s, XK_Escape, shows_title, 5000, 2000));
  };
  ASSERT_TRUE(bridge_call(bridge, "play"));
  ASSERT_NO_FATAL_FAILURE(play_to_the_table(true));

  EXPECT_TRUE(switch_full_screen(true)) << "Alt+Enter";
  ASSERT_NO_FATAL_FAILURE(expect_full_screen_title()) << "Alt+Enter";
  EXPECT_TRUE(switch_full_screen(false)) << "Alt+Enter again";
  expect_back_in_the_page();
  ASSERT_TRUE(bridge_call(bridge, "click #fullscreen"));
  ASSERT_NO_FATAL_FAILURE(expect_full_screen_title()) << "the button";
  ASSERT_TRUE(bridge_call(bridge, "eval document.exitFullscreen()"));  // as Esc in the browser
  expect_back_in_the_page();

  // OPTIONS, SCREEN SIZE: the canvas becomes 640x480 at once.
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1));
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_options, 5000)) << "OPTIONS did not open";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, 1));
  ASSERT_TRUE(tap_key_until(
      s, XK_space, [&](const rgb_image &) { return canvas_size() == "640x480"; }, 5000))
      << "SCREEN SIZE: the canvas is " << canvas_size();
  EXPECT_EQ(shown_size(), "640x480");
  rgb_image picture;
  ASSERT_TRUE(wait_for_picture(
      s, [](const rgb_image &p) { return shows_size_changed(p) || shows_options(p); }, 3000,
      &picture));
  if (!shows_options(picture)) {
    ASSERT_TRUE(tap_key_until(s, XK_space, shows_options, 5000))
        << "fire did not end \"Press fire.\"";
  }

  // The tab closed there, without QUIT: the page's leaving saved both.
  ASSERT_TRUE(bridge_call(bridge, "close"));
  ASSERT_TRUE(bridge_call(bridge, "newtab blank"));
  EXPECT_EQ(stored("KV settings.dat"), "2 1 1 84 85 82 83 75 28");
  EXPECT_EQ(stored("KV scores.dat"), "2100 0 1900");
  ASSERT_TRUE(bridge_call(bridge, "play"));
  ASSERT_TRUE(poll_until([&] { return canvas_size() == "640x480"; }, 20000, 50)) << canvas_size();
  ASSERT_NO_FATAL_FAILURE(play_to_the_table(false)) << "in the new tab";
  ASSERT_NO_FATAL_FAILURE(quit_from_title());
  EXPECT_EQ(stored("KV settings.dat"), "2 1 1 84 85 82 83 75 28");
  EXPECT_EQ(stored("KV scores.dat"), "2100 0 1900");
}

// What the player sees, not the canvas's store: at densities of 1 to 3
// display pixels a CSS pixel, at page sizes odd and even both ways, in the
// page and in full screen, the canvas's box lies on whole display pixels,
// each game pixel is a whole square of them (round(density) in the page,
// the largest that fits in full screen), and every display pixel of the
// box on the page's screenshot is the game's pixel at its place; in full
// screen everything around it is black.
TEST_F(WebGame, ThePictureOnWholeDisplayPixelsAtEveryDensityAndSize) {
  const struct {
    double density;
    int width, height;
  } pages[] = {
      {1, 1280, 900},   {1, 1281, 901}, {1, 1200, 947}, {1.25, 1537, 864}, {1.5, 1001, 777},
      {1.5, 1280, 720}, {2, 801, 600},  {3, 390, 844},  {3, 844, 390},
  };
  double density = 0;
  for (const auto &page : pages) {
    std::ostringstream name;
    name << page.width << "x" << page.height << " at " << page.density;
    if (page.density != density) {
      density = page.density;
      std::ostringstream device;
      device << "open {\"dsf\":" << density << "}";
      ASSERT_TRUE(bridge_call(bridge, device.str())) << name.str();
      ASSERT_TRUE(bridge_call(bridge, "play"));
      // The splash's name over the background will do.
      ASSERT_TRUE(poll_until([&] { return page_number("kvCanvasLog.times.length") > 10; }, 20000, 100))
          << name.str() << ": no picture";
    }
    ASSERT_TRUE(bridge_call(bridge, "size " + std::to_string(page.width) + " " +
                                        std::to_string(page.height)));
    for (const bool full : {false, true}) {
      SCOPED_TRACE(name.str() + (full ? ", full screen" : ", in the page"));
      if (full) {
        page_value(bridge, "document.getElementById('stage').requestFullscreen()");
        ASSERT_TRUE(poll_until([&] { return in_full_screen(); }, 3000, 50));
      }
      expect_picture_shown_whole(full ? 0 : std::max(1.0, std::round(density)));
      page_value(bridge, "kvCanvasLog.hold(false)");
      if (full) {
        page_value(bridge, "document.exitFullscreen()");
        ASSERT_TRUE(poll_until([&] { return !in_full_screen(); }, 3000, 50));
      }
    }
  }
}
