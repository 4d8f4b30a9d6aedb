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
#include "web_fixture.h"

namespace {

const char *const default_settings = "2 0 1 84 85 82 83 75 28";

class WebGame : public web_test {
 protected:
  // Alt held, Enter tapped (the game reads keys once a frame) until the
  // page is in full screen, or out of it.
  bool switch_full_screen(bool to_full) {
    keys.key_down(XK_Alt_L);
    const bool ok = tap_key_until(
        s, XK_Return, [&](const rgb_image &) { return in_full_screen() == to_full; }, 3000, 1000);
    keys.key_up(XK_Alt_L);
    return ok;
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

  void expect_back_in_the_page() {
    EXPECT_TRUE(
        poll_until([&] { return !in_full_screen() && shown_size() == "320x240"; }, 3000, 50))
        << "still in full screen, or shown at " << shown_size();
    EXPECT_TRUE(wait_for_picture(s, shows_title, 2000)) << "the title went away";
  }

};


}  // namespace

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
          s, [] { return bridge_call(bridge, "blur"); },
          [] { return bridge_call(bridge, "focus"); }));
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

  ASSERT_NO_FATAL_FAILURE(choose_screen_size_640(XK_space));
  EXPECT_EQ(shown_size(), "640x480");

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

// Two tabs of one browser, as a phone's installed game beside a tab: the
// first sits on its title while the second, with fire on J and a better
// best saved, chooses the big screen; the idle first, hidden last and
// quitting last, changes none of it.
TEST_F(WebGame, AnIdleTabHiddenOrQuittingLastKeepsWhatTheOtherSaved) {
  ASSERT_TRUE(bridge_call(bridge, "open"));
  ASSERT_TRUE(play_until_shown());
  ASSERT_TRUE(skip_to_title(s, XK_space)) << "no title in the first tab; " << state();
  ASSERT_TRUE(bridge_call(bridge, "newtab blank"));
  store("KV settings.dat", "2 0 1 84 85 82 83 10 28");
  store("KV scores.dat", "2100 5000 2300");
  ASSERT_TRUE(play_until_shown());
  ASSERT_TRUE(skip_to_title(s, XK_j)) << "no title in the second tab; " << state();
  ASSERT_NO_FATAL_FAILURE(choose_screen_size_640(XK_j));
  ASSERT_TRUE(bridge_call(bridge, "hide"));
  const std::string settings = "2 1 1 84 85 82 83 10 28";
  EXPECT_EQ(stored("KV settings.dat"), settings) << "the second tab's own save";

  ASSERT_TRUE(bridge_call(bridge, "tab 0"));
  ASSERT_TRUE(bridge_call(bridge, "hide"));
  EXPECT_EQ(stored("KV settings.dat"), settings) << "the idle tab hidden";
  EXPECT_EQ(stored("KV scores.dat"), "2100 5000 2300") << "the idle tab hidden";
  ASSERT_TRUE(bridge_call(bridge, "show"));
  ASSERT_NO_FATAL_FAILURE(quit_from_title());
  EXPECT_EQ(stored("KV settings.dat"), settings) << "the idle tab's QUIT";
  EXPECT_EQ(stored("KV scores.dat"), "2100 5000 2300") << "the idle tab's QUIT";
}

// The files coming over a slow network: a bar of the bytes come out of the
// bytes to come shows, and it is gone at the first picture. The page's own
// unpacker of its gzipped files is right.
TEST_F(WebGame, ALoadingBarWhileTheFilesComeGoneAtTheFirstPicture) {
  ASSERT_TRUE(bridge_call(bridge, "open"));
  ASSERT_TRUE(bridge_call(bridge, "network 100 1000"));
  ASSERT_TRUE(bridge_call(bridge, "play"));
  const std::string bar = R"((b => [!document.getElementById('loading').hidden, b.value > 0 && b.value < b.max,
    document.getElementById('loading-bytes').textContent].join(' '))(document.getElementById('loading-bar')))";
  std::string seen;
  EXPECT_TRUE(poll_until([&] { return (seen = page_value(bridge, bar)).rfind("true true ", 0) == 0; }, 20000, 20))
      << "no bar part way: " << seen;
  EXPECT_NE(seen.find(" of "), std::string::npos) << seen;
  ASSERT_TRUE(poll_until([&] { return page_number("kvCanvasLog.times.length") > 0; }, 60000, 50));
  EXPECT_EQ(page_value(bridge, "String(document.getElementById('loading').hidden)"), "true");

  // The page's own gzip unpacker, for browsers without DecompressionStream,
  // gives back what was packed: the build's WebAssembly, and the browser's
  // own gzip of it (dynamic codes), of a line of text (fixed codes) and of
  // random bytes (stored blocks). Names what it got wrong.
  EXPECT_EQ(page_value(bridge, R"((async () => {
    await new Promise((here, lost) => document.head.appendChild(
      Object.assign(document.createElement('script'), { src: 'inflate.js', onload: here, onerror: lost })));
    const pipe = (bytes, through) => new Response(new Blob([bytes]).stream().pipeThrough(through)).arrayBuffer()
      .then(b => new Uint8Array(b));
    const same = (a, b) => a.length === b.length && a.every((x, i) => x === b[i]);
    const packed = new Uint8Array(await (await fetch('krove-vestin.wasm')).arrayBuffer());
    const wasm = await pipe(packed, new DecompressionStream('gzip')), wrong = same(kvGunzip(packed), wasm) ? [] : ['build'];
    for (const [name, bytes] of [['wasm', wasm], ['text', new TextEncoder().encode('KROVE VESTIN, KROVE VESTIN')],
                                 ['random', crypto.getRandomValues(new Uint8Array(65536))]])
      if (!same(kvGunzip(await pipe(bytes, new CompressionStream('gzip'))), bytes)) wrong.push(name);
    return wrong.join(' ');
  })())"),
            "");
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
      ASSERT_TRUE(open_device(density)) << name.str();
      // The splash's name over the background will do.
      ASSERT_TRUE(play_until_shown()) << name.str() << ": no picture";
    }
    ASSERT_TRUE(bridge_call(bridge, "size " + std::to_string(page.width) + " " +
                                        std::to_string(page.height)));
    for (const bool full : {false, true}) {
      SCOPED_TRACE(name.str() + (full ? ", full screen" : ", in the page"));
      if (full) {
        page_value(bridge, "document.getElementById('stage').requestFullscreen()");
        ASSERT_TRUE(poll_until([&] { return in_full_screen(); }, 3000, 50));
      }
      expect_picture_shown_whole(full ? 0 : static_cast<int>(std::max(1.0, std::round(density))));
      if (full) {
        page_value(bridge, "document.exitFullscreen()");
        ASSERT_TRUE(poll_until([&] { return !in_full_screen(); }, 3000, 50));
      }
    }
  }
}
