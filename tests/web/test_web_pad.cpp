// The browser game played on a pad: a stand-in for the Gamepad API in the
// page (standin_pad.js; headless Chromium has no pads), plugged in after
// the game has started, pressed, and pulled out while it runs.
#include <X11/keysym.h>

#include <algorithm>
#include <functional>
#include <string>

#include "game_screens.h"
#include "game_steps.h"
#include "web_fixture.h"

namespace {

class WebPad : public web_test {
 protected:
  std::string stand_in(const std::string &call) { return page_value(bridge, "kvStandInPads." + call); }

  // Whether hold(true) .. hold(false), holding something for a second and
  // a little (the key acts at once, then every 8 frames: 7 times), moved
  // the cursor by moves rows, or to the edge of the rows it can aim at (3
  // to 11) on the way. Begun far from a push-up, which would move it too.
  testing::AssertionResult moves_holding(const std::function<void(bool)> &hold, int moves) {
    rgb_image p;
    field_view field;
    if (!read_still_field(s, field, 4)) return testing::AssertionFailure() << "no still field";
    const cursor_place from = field.cursor;
    hold(true);
    pause_ms(1050);  // nothing asked of the page meanwhile
    hold(false);
    pause_ms(100);
    if (!wait_for_picture(s, shows_live_game, 2000, &p)) return testing::AssertionFailure() << "no game";
    const cursor_place to = find_cursor(p);
    const int want = std::clamp(from.row + moves, 3, 11);
    if (to.row == want && to.lift >= from.lift) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "from row " << from.row << " to " << to.row << ", not " << want
                                       << (to.lift < from.lift ? ", a row pushed in meanwhile" : "");
  }
};

}  // namespace

// Plugged in after the start, the pad plays within two seconds: A ends the
// splash and chooses START, the d-pad and the stick past half its travel
// aim at the key's repeat, A fires, Start pauses and resumes; pulled out in
// play, the pause band shows, and plugged in again it resumes; B gives up.
TEST_F(WebPad, APadPlaysAndPausesWhenPulledOut) {
  ASSERT_TRUE(bridge_call(bridge, "open"));
  ASSERT_TRUE(play_until_shown());
  const std::string pad_line = "String(document.getElementById('pad-keys').hidden)";
  EXPECT_EQ(page_value(bridge, pad_line), "true") << "the pad's buttons named with no pad";
  stand_in("plug(0)");
  const long long plugged = now_ms();
  s.io = &pad;
  ASSERT_TRUE(skip_to_title(s, XK_space)) << "A did not end the splash";
  EXPECT_LT(now_ms() - plugged, 2000);
  EXPECT_EQ(page_value(bridge, pad_line), "false") << "the page does not name the pad's buttons";
  ASSERT_TRUE(start_play(s, XK_space)) << "A on START did not start a game";

  const auto button = [&](int b) {
    return [=](bool down) { stand_in("press(0, " + std::to_string(b) + ", " + (down ? "true" : "false") + ")"); };
  };
  const auto stick = [&](double at) {
    return [=](bool down) { stand_in("axis(0, 1, " + std::to_string(down ? at : 0.0) + ")"); };
  };
  EXPECT_TRUE(moves_holding(button(13), 7)) << "the d-pad down";
  EXPECT_TRUE(moves_holding(stick(-0.6), -7)) << "the stick up past half";
  EXPECT_TRUE(moves_holding(stick(0.4), 0)) << "the stick down short of half";

  int score = 0;
  std::string why;
  ASSERT_TRUE(shoot_checked(s, false, score, why)) << why;
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_pause, 6000, 2000)) << "Start showed no band";
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000)) << "Start again did not go on";

  stand_in("pullOut(0)");
  EXPECT_TRUE(wait_for_picture(s, shows_pause, 2000)) << "pulled out, the game went on";
  stand_in("plug(0)");
  ASSERT_TRUE(tap_key_until(s, XK_1, shows_live_game, 6000, 2000)) << "plugged in again, Start did not resume";
  ASSERT_TRUE(give_up_play(s)) << "B did not give up";
  const int normal = std::max(2000, score);
  EXPECT_TRUE(wait_for_picture(
      s, [&](const rgb_image &p) { return shows_score_table(p, 2000, normal, 2000); }, 5000));
}
