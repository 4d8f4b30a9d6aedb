// The browser game on phones and tablets, played through its touch
// controls in Chromium's mobile emulation, with touches sent as a touch
// screen sends them (several fingers at once): the layout in either
// orientation, a whole road by touch, and the page installed and played
// with no network.
#include <X11/keysym.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "game_road.h"
#include "game_screens.h"
#include "game_steps.h"
#include "web_fixture.h"

namespace {

// Settings with fire bound to J: FIRE must press whatever fire is bound to.
const char *const fire_on_j = "2 0 1 84 85 82 83 10 28";

class WebTouch : public web_test {
 protected:
  // A fresh profile on a touch screen of w x h CSS pixels at density, and
  // its first tab on the site's blank page.
  void open_touch_screen(double density, int w, int h) {
    ASSERT_TRUE(open_device(density, w, h));
    s.io = &fingers;
  }

  // The controls show, each at least 48 CSS pixels, on the screen and off
  // the picture; the page does not scroll; the keyboard's line is hidden;
  // the picture is whole at factor display pixels a game pixel. A page just
  // turned is laid out again once the browser tells it (a frame or so):
  // what it shows meanwhile is not judged.
  void expect_touch_layout(int factor) {
    std::string wrong;
    poll_until([&] { return (wrong = page_value(bridge, R"((() => {
      const out = [], c = document.getElementById('canvas').getBoundingClientRect();
      if (!document.body.classList.contains('touch')) out.push('no touch controls');
      const page = document.scrollingElement;
      if (page.scrollHeight > innerHeight || page.scrollWidth > innerWidth) out.push('the page scrolls');
      for (const name of ['Up', 'Down', 'Left', 'Right', 'Fire', 'Pause', 'Back']) {
        const r = document.querySelector(`[aria-label=${name}]`).getBoundingClientRect();
        if (r.width < 48 || r.height < 48) out.push(`${name} under 48 px`);
        if (r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight) out.push(`${name} off the screen`);
        if (r.left < c.right && r.right > c.left && r.top < c.bottom && r.bottom > c.top) out.push(`${name} on the picture`);
      }
      if (getComputedStyle(document.querySelector('.keys-only')).display !== 'none') out.push('the keys shown');
      return out.join('; ');
    })())")).empty(); }, 1000, 20);
    EXPECT_EQ(wrong, "");
    expect_picture_shown_whole(factor);
  }

  // A thumb held on Down for a second moves the cursor seven rows: the key
  // acts when it goes down and every 8 frames after, 50 frames a second.
  // It lands on Left (the cursor stands against the left wall) and slides
  // on to Down: the pad lets Left go and holds Down.
  void expect_held_direction_repeats() {
    rgb_image p;
    ASSERT_TRUE(wait_for_picture(s, shows_live_game, 2000, &p));
    const cursor_place from = find_cursor(p);
    ASSERT_EQ(from.row, 3) << "the cursor starts on row 3";
    // Nothing asked of the page meanwhile: the hold is the game's time alone.
    ASSERT_EQ(from.column, 0);
    ASSERT_TRUE(fingers.key_down(XK_Left));
    ASSERT_TRUE(bridge_call(bridge, "slide Left Down"));
    pause_ms(1050);
    ASSERT_TRUE(bridge_call(bridge, "lift Down"));
    pause_ms(100);
    ASSERT_TRUE(wait_for_picture(s, shows_live_game, 2000, &p));
    const cursor_place to = find_cursor(p);
    const int pushed = to.lift < from.lift;  // a new row pushed the cursor up one
    EXPECT_EQ(to.row - from.row + pushed, 7) << "rows moved in a second held";
    EXPECT_EQ(to.column, 0);
  }

  // One thumb holds the direction of a wall the cursor stands against (so
  // it stays) while another finger fires: the shot bursts the group there.
  // The target: the biggest group at a wall, the bottom row included.
  void shoot_holding_a_direction(int &score) {
    const long long deadline = now_ms() + 20000;
    while (now_ms() < deadline) {
      field_view field;
      ASSERT_TRUE(read_still_field(s, field));
      cursor_place target;
      int biggest = 1;
      for (int c = 0; c < 8; ++c)
        for (int r = 3; r < 12; ++r) {
          if (c != 0 && c != 7 && r != 11) continue;
          field_view probe = field;
          probe.cursor.column = c;
          probe.cursor.row = r;
          const int size = count_cursor_group(probe);
          if (size > biggest) biggest = size, target = probe.cursor;
        }
      ASSERT_GE(target.column, 0) << "no group of two or more at a wall";
      ASSERT_TRUE(move_cursor_to(s, target.column, target.row));
      ASSERT_TRUE(read_still_field(s, field));
      if (field.cursor.column != target.column || field.cursor.row != target.row) continue;
      const int group = count_cursor_group(field);
      if (group < 2) continue;
      const unsigned long wall = target.column == 0 ? XK_Left : target.column == 7 ? XK_Right : XK_Down;
      ASSERT_TRUE(fingers.key_down(wall));
      ASSERT_TRUE(fingers.key_down(XK_space));
      // Both held, both shown held.
      const std::string shown = page_value(
          bridge, "[...document.querySelectorAll('.down-now')].map(e => e.id).sort().join(' ')");
      int after = score;
      const bool shot = wait_for_picture(
          s, [&](const rgb_image &p) { return read_score(p, after) && after != score; }, 3000);
      fingers.key_up(XK_space);
      fingers.key_up(wall);
      const std::string direction = wall == XK_Down ? "down" : wall == XK_Left ? "left" : "right";
      EXPECT_EQ(shown, direction < "fire" ? direction + " fire" : "fire " + direction)
          << "the controls shown held";
      ASSERT_TRUE(shot) << "FIRE did nothing while a thumb held " << control_name(wall);
      EXPECT_EQ(after - score, 10 * group * group) << "a group of " << group;
      score = after;
      return;
    }
    FAIL() << "no shot within 20 s";
  }
};

}  // namespace

// A phone, 390x844 at 3 display pixels, in portrait and then turned: the
// controls, the picture and a whole road by touch, fire bound to J.
TEST_F(WebTouch, APhonePlaysByTouchInEitherOrientation) {
  ASSERT_NO_FATAL_FAILURE(open_touch_screen(3, 390, 844));
  store("KV settings.dat", fire_on_j);
  ASSERT_TRUE(play_until_shown());
  ASSERT_NO_FATAL_FAILURE(expect_touch_layout(3)) << "portrait";

  const long long touched = now_ms();
  ASSERT_TRUE(skip_to_title(s, XK_space));
  EXPECT_LT(now_ms() - touched, 3000) << "FIRE did not end the splash";
  ASSERT_TRUE(start_play(s, XK_space)) << "FIRE on START did not start a game";
  ASSERT_NO_FATAL_FAILURE(expect_held_direction_repeats());
  int score = 0;
  ASSERT_NO_FATAL_FAILURE(shoot_holding_a_direction(score));

  ASSERT_TRUE(tap_key_until(s, XK_1, shows_pause, 6000, 2000)) << "PAUSE showed no band";
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000)) << "PAUSE again did not go on";
  // Away to another app: the page hidden pauses the game and keeps both files.
  store("KV settings.dat", "(none)");
  ASSERT_TRUE(bridge_call(bridge, "hide"));
  EXPECT_TRUE(wait_for_picture(s, shows_pause, 2000)) << "hidden, the game went on";
  EXPECT_EQ(stored("KV settings.dat"), fire_on_j);
  ASSERT_TRUE(bridge_call(bridge, "show"));
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000));

  ASSERT_TRUE(give_up_play(s)) << "BACK did not give up";
  const int normal = std::max(2000, score);
  ASSERT_TRUE(wait_for_picture(
      s, [&](const rgb_image &p) { return shows_score_table(p, 2000, normal, 2000); }, 5000));
  ASSERT_TRUE(bridge_call(bridge, "hide"));
  EXPECT_EQ(stored("KV scores.dat"), "2000 " + std::to_string(normal) + " 2000");
  ASSERT_TRUE(bridge_call(bridge, "show"));
  ASSERT_TRUE(tap_key_until(s, XK_Escape, shows_title, 5000, 2000)) << "BACK did not leave the table";

  // Turned: the page is laid out again, the game goes on where it was.
  page_value(bridge, "window.kvNotReloaded = 'yes'");
  ASSERT_TRUE(bridge_call(bridge, "size 844 390"));
  ASSERT_NO_FATAL_FAILURE(expect_touch_layout(4)) << "landscape";
  EXPECT_EQ(page_value(bridge, "window.kvNotReloaded"), "yes");
  EXPECT_TRUE(wait_for_picture(s, shows_title, 2000)) << "turning left the title";

  // OPTIONS, SCREEN SIZE by touch, kept across a reload, fire's key too.
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1));
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_options, 5000)) << "OPTIONS did not open";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, 1));
  ASSERT_TRUE(tap_key_until(
      s, XK_space, [&](const rgb_image &) { return canvas_size() == "640x480"; }, 5000));
  ASSERT_TRUE(bridge_call(bridge, "reload"));
  EXPECT_EQ(stored("KV settings.dat"), "2 1 1 84 85 82 83 10 28");
  // The splash keeps its pace with the controls shown, and on a phone's
  // CPU, four times slower.
  EXPECT_NEAR(time_the_splash(), 5600, 560);
  EXPECT_EQ(canvas_size(), "640x480");
  ASSERT_NO_FATAL_FAILURE(expect_touch_layout(2)) << "landscape at 640x480";
  ASSERT_TRUE(bridge_call(bridge, "throttle 4"));
  ASSERT_TRUE(bridge_call(bridge, "reload"));
  EXPECT_NEAR(time_the_splash(), 5600, 560) << "the CPU four times slower";
  ASSERT_TRUE(bridge_call(bridge, "throttle 1"));
}

// A tablet, 820x1180 at 2, and a small phone, 360x640 at 2, either way up;
// a desktop page, no controls.
TEST_F(WebTouch, ATabletAndASmallPhoneFitEitherWayAndADesktopShowsNoControls) {
  const struct {
    int w, h, factor;
  } screens[] = {{820, 1180, 5}, {1180, 820, 4}, {360, 640, 2}, {640, 360, 2}};
  ASSERT_NO_FATAL_FAILURE(open_touch_screen(2, 820, 1180));
  ASSERT_TRUE(play_until_shown());
  for (const auto &at : screens) {
    SCOPED_TRACE(std::to_string(at.w) + "x" + std::to_string(at.h));
    ASSERT_TRUE(bridge_call(bridge, "size " + std::to_string(at.w) + " " + std::to_string(at.h)));
    ASSERT_NO_FATAL_FAILURE(expect_touch_layout(at.factor));
  }

  ASSERT_TRUE(bridge_call(bridge, "open"));
  ASSERT_TRUE(play_until_shown());
  EXPECT_EQ(page_value(bridge, "getComputedStyle(document.getElementById('pad')).display + ' ' + "
                               "getComputedStyle(document.getElementById('fire')).display"),
            "none none");
  EXPECT_NE(page_value(bridge, "getComputedStyle(document.querySelector('.keys-only')).display"),
            "none");
}

namespace {

// A copy of the game's folder as a host holds it, in a fresh folder: an old
// build, made a day ago (an ordinary host lets a browser keep such files
// for hours); or a new build, made now, its page marked, its page and worker
// made anew as the web build makes them. "" if it could not be made.
std::string place_build(bool fresh) {
  namespace fs = std::filesystem;
  std::string made = (fs::temp_directory_path() / "kv-web-build-XXXXXX").string();
  if (!mkdtemp(made.data())) return "";
  fs::copy(game_folder(), made, fs::copy_options::recursive);
  if (!fresh) {
    for (const auto &entry : fs::directory_iterator(made))
      fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::hours(24));
    return made;
  }
  std::ifstream in(KV_WEB_SOURCE_DIR "/index.html.in");
  std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  page.replace(page.find("<head>"), 6, "<head>\n<meta name=\"kv-build\" content=\"new\">");
  std::ofstream(made + "/page.in") << page;
  std::string files;
  for (const auto &entry : fs::directory_iterator(made)) {
    const std::string name = entry.path().filename();
    if (name != "index.html" && name != "page.in" && name != "sw.js" && name != "LICENSE" && name != "README.txt")
      files += (files.empty() ? "" : "|") + entry.path().string();
  }
  const std::string make = std::string(KV_CMAKE) + " -DPAGE=" + made + "/page.in -DWORKER=" KV_WEB_SOURCE_DIR
                           "/sw.js.in -DOUT=" + made + " -DPROJECT_VERSION=1 '-DFILES=" + files +
                           "' -P " KV_WEB_SOURCE_DIR "/make_build.cmake";
  return std::system(make.c_str()) == 0 && fs::remove(made + "/page.in") ? made : "";
}

}  // namespace

// After one visit the game starts with no network. A new build put in the
// old one's place reaches the page within two visits, whether the host
// sends Last-Modified alone, max-age or no-cache, and its worker keeps
// nothing of the old build; a new build cut short is never taken, and the
// old one goes on playing, online and offline.
TEST_F(WebTouch, OfflineAfterOneVisitAndANewBuildWithinTwoVisitsFromAnyHost) {
  const std::string old_build = place_build(false), new_build = place_build(true), cut = place_build(true);
  ASSERT_FALSE(old_build.empty() || new_build.empty() || cut.empty()) << "the builds could not be placed";
  // As a copy broken off halfway leaves it.
  const std::string wasm = cut + "/krove-vestin.wasm";
  std::filesystem::resize_file(wasm, std::filesystem::file_size(wasm) / 2);
  const std::string caches = "caches.keys().then(k => k.filter(n => n.startsWith('krove-vestin ')).join('|'))";
  const std::string marked = "String(!!document.querySelector('meta[name=kv-build]'))";
  // The browser looks for a new worker, and tells whether it was taken.
  const std::string taken = R"(navigator.serviceWorker.getRegistration().then(r => r.update().catch(e => e)
    .then(() => new Promise(done => {
      const w = r.installing;
      if (!w) return done(String(!!r.waiting));
      w.addEventListener('statechange', () => { if (w.state !== 'installing') done(String(w.state === 'installed')); });
    }))))";
  const struct {
    const char *caching;
    const std::string &build;
  } hosts[] = {{"last-modified", new_build}, {"max-age", new_build}, {"no-cache", new_build}, {"last-modified", cut}};
  for (const auto &host : hosts) {
    SCOPED_TRACE(std::string(host.caching) + (&host.build == &cut ? ", the new build cut short" : ""));
    ASSERT_NO_FATAL_FAILURE(open_touch_screen(3, 390, 844));
    ASSERT_TRUE(bridge_call(bridge, std::string("caching ") + host.caching));
    ASSERT_TRUE(bridge_call(bridge, "root " + old_build));
    ASSERT_TRUE(bridge_call(bridge, "play"));
    ASSERT_TRUE(poll_until(
        [&] { return page_value(bridge, "String(!!navigator.serviceWorker.controller)") == "true"; }, 20000,
        200))
        << "no service worker took the page";
    const std::string first_build = page_value(bridge, caches);
    ASSERT_TRUE(bridge_call(bridge, "root " + host.build));
    ASSERT_TRUE(bridge_call(bridge, "reload"));
    const bool first_visit = page_value(bridge, marked) == "true";
    if (&host.build == &cut) {
      EXPECT_EQ(page_value(bridge, taken), "false") << "the cut build's worker was taken";
      EXPECT_EQ(page_value(bridge, caches), first_build);
      for (const char *network : {"off", "on"}) {
        ASSERT_TRUE(bridge_call(bridge, std::string("offline ") + network));
        ASSERT_TRUE(bridge_call(bridge, "reload"));
        EXPECT_EQ(page_value(bridge, marked), "false") << "offline " << network;
        EXPECT_TRUE(skip_to_title(s, XK_space)) << "offline " << network << ", no title: " << state();
      }
      ASSERT_TRUE(bridge_call(bridge, "offline off"));
      continue;
    }
    ASSERT_TRUE(poll_until(
        [&] {
          const std::string now = page_value(bridge, caches);
          return !now.empty() && now != first_build && now.find('|') == std::string::npos;
        },
        20000, 200))
        << "the new build's worker did not take over alone: " << page_value(bridge, caches);
    ASSERT_TRUE(bridge_call(bridge, "reload"));
    EXPECT_TRUE(first_visit || page_value(bridge, marked) == "true") << "the new page after two visits";
    EXPECT_TRUE(skip_to_title(s, XK_space)) << "the new build shows no title";
    if (&host == hosts) {
      ASSERT_TRUE(bridge_call(bridge, "offline on"));
      ASSERT_TRUE(bridge_call(bridge, "reload"));
      EXPECT_EQ(page_value(bridge, marked), "true") << "offline";
      EXPECT_TRUE(skip_to_title(s, XK_space)) << "offline, no title: " << state();
      ASSERT_TRUE(bridge_call(bridge, "offline off"));
    }
  }
  // A fresh profile first: the last one's worker would look for its build there.
  bridge_call(bridge, "open");
  for (const std::string &folder : {old_build, new_build, cut}) std::filesystem::remove_all(folder);
}
