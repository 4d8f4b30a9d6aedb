// The road every browser engine plays, written once: Chromium, Firefox
// and WebKit (Safari's engine, every iPhone's), each from a fresh profile
// on a desktop page, with real keys through its driver. The splash's pace
// by the page's own stamps of its pictures; the title pixel for pixel as
// the native window shows it, and on the screen as the canvas holds it; a
// whole game; a key held repeats at the game's pace; the page losing the
// focus pauses a game; the big screen chosen and QUIT, kept across a
// reload; and, after that one visit, the game with the server stopped.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game_art.h"
#include "game_driver.h"
#include "game_road.h"
#include "game_screens.h"
#include "game_steps.h"
#include "web_bridge.h"
#include "web_fixture.h"

namespace {

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

native_titles native;  // collected once, before any page plays

class WebEngine : public web_test, public testing::WithParamInterface<const char *> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(web_test::SetUp());
    if (native.by_background.empty()) {
      ASSERT_NO_FATAL_FAILURE(native.collect(6000));
    }
    ASSERT_TRUE(bridge_call(bridge, std::string("engine ") + GetParam()));
  }
};

}  // namespace

TEST_P(WebEngine, PlaysTheRoad) {
  ASSERT_TRUE(bridge_call(bridge, "open"));
  ASSERT_TRUE(bridge_call(bridge, "play"));

  // The splash: 280 frames of 20 ms, 5.6 s as in the window (WindowPace).
  EXPECT_NEAR(time_the_splash(), 5600, 560);
  // Its mean frame, a browser's rare freeze apart: a page woken more than a
  // frame late lets the time go by design, so one gap of a freeze's length
  // says nothing of the game's pace, while a late wake not made good
  // lengthens every frame.
  double mean_frame = -1, freezes = -1, longest = -1;
  std::sscanf(page_value(bridge, "(t => { let n = 0, sum = 0, freezes = 0, longest = 0; "
                                 "for (let i = kvCanvasLog.firstShown + 10; i < kvCanvasLog.firstShown + 259; ++i) {"
                                 "  const gap = t[i + 1] - t[i]; longest = Math.max(longest, gap);"
                                 "  if (gap > 40) ++freezes; else { sum += gap; ++n; } }"
                                 "return (sum / n) + ' ' + freezes + ' ' + longest; })(kvCanvasLog.times)")
                  .c_str(),
              "%lf %lf %lf", &mean_frame, &freezes, &longest);
  EXPECT_NEAR(mean_frame, 20, 0.5) << "the splash's mean frame, ms";
  EXPECT_LE(freezes, 2) << "the page froze, for up to " << longest << " ms";

  // Two and a half seconds of the title, every picture, as the page put them.
  std::vector<double> times;
  rgb_image p;
  ASSERT_TRUE(keep_pictures(-1, 125, times));
  int alike = 0, unlike = 0;
  for (size_t i = 0; i < times.size(); ++i) {
    ASSERT_TRUE(kept_picture(i, p));
    ASSERT_TRUE(shows_title(p)) << "the title went away";
    const int judged = native.judge(p);
    alike += judged == 1;
    if (judged < 0 && unlike++ == 0)
      write_png_image(std::string(KV_WEB_FAILURE_DIR) + "/web-title-unlike-" + GetParam() + ".png", p);
  }
  EXPECT_EQ(unlike, 0) << "browser title pictures unlike the native ones of their frame (the "
                          "first: web-title-unlike-ENGINE.png)";
  EXPECT_GE(alike, static_cast<int>(times.size()) * 3 / 4) << "too few browser pictures seen natively";
  std::cout << GetParam() << " title: " << times.size() << " browser pictures, " << alike
            << " the same as a native one of their frame, " << unlike << " unlike\n";
  ASSERT_NO_FATAL_FAILURE(expect_picture_shown_whole(1)) << "the title on the screen";

  int normal = 0;
  ASSERT_NO_FATAL_FAILURE(play_one_game(s, normal));

  // Right held 0.56 s: it acts when it goes down and every 8 frames after,
  // 4 columns from the left wall. Away, the game pauses.
  ASSERT_TRUE(start_play(s, XK_space));
  ASSERT_TRUE(wait_for_picture(s, shows_live_game, 2000, &p));
  const int from = find_cursor(p).column;
  ASSERT_TRUE(keys.key_down(XK_Right));
  pause_ms(560);
  ASSERT_TRUE(keys.key_up(XK_Right));
  ASSERT_TRUE(wait_for_picture(s, shows_live_game, 2000, &p));
  EXPECT_EQ(find_cursor(p).column - from, 4) << "columns moved by Right held 0.56 s";
  ASSERT_NO_FATAL_FAILURE(pause_while_away(
      s, [] { return bridge_call(bridge, "blur"); }, [] { return bridge_call(bridge, "focus"); }));
  ASSERT_TRUE(give_up_play(s));
  ASSERT_TRUE(tap_key_until(s, XK_Escape, shows_title, 5000, 2000));

  // The big screen chosen, BACK, QUIT: kept across a reload.
  ASSERT_NO_FATAL_FAILURE(choose_screen_size_640(XK_space));
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, 4));
  ASSERT_TRUE(tap_key_until(s, XK_space, shows_title, 5000)) << "BACK did not lead to the title";
  ASSERT_NO_FATAL_FAILURE(quit_from_title());
  EXPECT_EQ(stored("KV settings.dat"), "2 1 1 84 85 82 83 75 28");
  EXPECT_EQ(stored("KV scores.dat"), "2000 " + std::to_string(normal) + " 2000");
  ASSERT_TRUE(bridge_call(bridge, "reload"));
  EXPECT_TRUE(poll_until([&] { return canvas_size() == "640x480"; }, 20000, 100)) << canvas_size();

  // One visit made, the server stopped: the game starts all the same.
  ASSERT_TRUE(poll_until(
      [&] { return page_value(bridge, "String(!!navigator.serviceWorker.controller)") == "true"; }, 20000, 200))
      << "no service worker took the page";
  ASSERT_TRUE(bridge_call(bridge, "offline on"));
  ASSERT_TRUE(bridge_call(bridge, "reload"));
  EXPECT_TRUE(skip_to_title(s, XK_space)) << "offline, no title: " << state();
  ASSERT_TRUE(bridge_call(bridge, "offline off"));
}

INSTANTIATE_TEST_SUITE_P(Every, WebEngine, testing::Values("chromium", "firefox", "webkit"),
                         [](const testing::TestParamInfo<const char *> &engine) { return std::string(engine.param); });
