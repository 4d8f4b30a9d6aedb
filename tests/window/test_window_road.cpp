// The whole road through the menus in the real window: difficulty, new keys
// and the big window chosen in OPTIONS, saved on QUIT and in force at the
// next start; and a given-up game whose score enters the saved table.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <string>

#include "game_driver.h"
#include "game_screens.h"
#include "game_steps.h"
#include "session_test.h"

namespace {

class WindowRoad : public session_test {
 protected:
  // A game on Normal given up at once, over a best of -100, up to its
  // "GAME OVER" banner.
  void give_up_over_a_negative_best() {
    ASSERT_TRUE(write_work_file(s.folder, "KV scores.dat", "2000 -100 2000"));
    ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
    ASSERT_TRUE(skip_to_title(s, XK_space));
    ASSERT_TRUE(start_play(s, XK_space));
    ASSERT_TRUE(give_up_play(s));
  }

  // The marked entry of a menu once its screen is up, or -1.
  int marked_entry(int base_y, int entries) {
    int marked = -1;
    wait_for_picture(
        s,
        [&](const rgb_image &p) { return (marked = find_marked_entry(p, base_y, entries)) >= 0; },
        2000);
    return marked;
  }

};

// Options entries, from base y 100.
const int sound_entry = 0, size_entry = 1, difficulty_entry = 2, controls_entry = 3, back_entry = 4;

}  // namespace

TEST_F(WindowRoad, ChosenOptionsAreSavedOnQuitAndUsedAtTheNextStart) {
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_TRUE(skip_to_title(s, XK_space));

  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1));
  rgb_image picture;
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_options, 5000, &picture)) << "OPTIONS did not open";
  EXPECT_EQ(marked_entry(100, 5), sound_entry) << "from the title, options open on the first entry";
  save_screenshot(picture, "options");

  // Difficulty: the marker starts on the current one (Normal); choose Hard.
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, difficulty_entry));
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_difficulty, 5000));
  EXPECT_EQ(marked_entry(110, 3), 1) << "the difficulty menu opens on Normal";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 110, 3, 2));
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_options, 5000));
  EXPECT_EQ(marked_entry(100, 5), difficulty_entry) << "options reopen on the entry that left";

  // Controls: one held key per step; the screen moves on to the next action
  // as it takes each key, and back to the options after the sixth.
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, controls_entry));
  ASSERT_TRUE(hold_key_until(
      s, XK_space, [](const rgb_image &p) { return shows_controls_step(p, "up"); }, 5000));
  const struct {
    unsigned long keysym;
    const char *next;
  } binds[] = {{XK_w, "down"}, {XK_s, "left"}, {XK_a, "right"}, {XK_d, "fire"}, {XK_j, "pause"}};
  for (const auto &b : binds)
    ASSERT_TRUE(hold_key_until(
        s, b.keysym, [&](const rgb_image &p) { return shows_controls_step(p, b.next); }, 5000))
        << "no step \"press " << b.next << "\"";
  ASSERT_TRUE(hold_key_until(s, XK_p, shows_options, 5000)) << "the sixth key did not end CONTOLS";
  EXPECT_EQ(marked_entry(100, 5), controls_entry);

  // From here on the menus answer W and S, and J chooses. SCREEN SIZE
  // switches the window at once. No key is held across the switch: the
  // window loses the focus for a moment, and a key let go meanwhile would
  // stay down for the game.
  ASSERT_TRUE(choose_menu_entry(s, XK_s, 100, 5, size_entry));
  ASSERT_TRUE(tap_key_until(
      s, XK_j, [&](const rgb_image &) { return get_window_size(s.server, s.window).width == 640; },
      5000))
      << "J on SCREEN SIZE: the window did not become 640x480";
  ASSERT_TRUE(poll_until([&] { return focus_window(s.server, s.window); }, 3000, 10));
  ASSERT_TRUE(wait_for_picture(
      s, [](const rgb_image &p) { return shows_size_changed(p) || shows_options(p); }, 3000,
      &picture));
  if (!shows_options(picture)) {
    ASSERT_TRUE(tap_key_until(s, XK_j, shows_options, 5000)) << "J did not end \"Press fire.\"";
  }
  EXPECT_EQ(marked_entry(100, 5), size_entry);
  ASSERT_TRUE(choose_menu_entry(s, XK_w, 100, 5, back_entry));
  ASSERT_TRUE(hold_key_until(s, XK_j, shows_title, 5000)) << "BACK did not lead to the title";
  ASSERT_TRUE(choose_menu_entry(s, XK_w, 125, 3, 2));  // up from START wraps to QUIT
  exit_result r = hold_key_until_exit(s, XK_j, 5000);
  ASSERT_TRUE(r.exited) << "QUIT did not end the game";
  EXPECT_EQ(r.code, 0);
  // Hard, big window, sound 1, then W S A D J P as Allegro scancodes.
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "3 1 1 23 19 1 4 10 16");
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 2000 2000");

  // Next start, same folder: the big window, and J skips the 5.6 s splash.
  ASSERT_TRUE(launch_game(s)) << "no game window at the restart; stderr:\n"
                              << read_game_stderr(s.folder);
  ASSERT_TRUE(wait_for_window_size(s.server, s.window, 640, 480, 5000));
  ASSERT_TRUE(focus_window(s.server, s.window));
  const long long pressed = now_ms();
  ASSERT_TRUE(skip_to_title(s, XK_j)) << "J did not skip the splash";
  EXPECT_LT(now_ms() - pressed, 4000) << "the title came only when the splash ran out";
  EXPECT_EQ(get_window_size(s.server, s.window).width, 640);
  ASSERT_TRUE(send_close_message(s.server, s.window));
  r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "3 1 1 23 19 1 4 10 16");
}

TEST_F(WindowRoad, GameGivenUpAtOnceBeatsANegativeBest) {
  ASSERT_NO_FATAL_FAILURE(give_up_over_a_negative_best());
  // Score 0 beats -100 on Normal, and the table shows it.
  EXPECT_TRUE(wait_for_picture(
      s, [](const rgb_image &p) { return shows_score_table(p, 2000, 0, 2000); }, 5000));
  // Esc leaves the table at once; still held, it quits on the title after 1 s.
  exit_result r = hold_key_until_exit(s, XK_Escape, 6000);
  ASSERT_TRUE(r.exited) << "held Esc did not lead through the title to quitting";
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 0 2000");
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
}

// Closed during its game-over banner, a finished game still counts: the
// game quits when the banner is over, without the table, and saves the score.
TEST_F(WindowRoad, AGameClosedDuringItsGameOverBannerStillCounts) {
  ASSERT_NO_FATAL_FAILURE(give_up_over_a_negative_best());
  ASSERT_TRUE(send_close_message(s.server, s.window));
  bool saw_table = false;
  poll_until(
      [&] {
        rgb_image p;
        if (grab_picture(s, p)) saw_table = saw_table || shows_heading(p, "HIGH SCORES");
        return !game_running(s.game);
      },
      4000, 20);
  const exit_result r = wait_for_exit(s.game, 1000);
  ASSERT_TRUE(r.exited) << "still running after the banner";
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(saw_table);
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 0 2000");
}

// Two copies of the game in one folder (under Wine, one %APPDATA%): the
// first only sits on its splash while the second beats the saved Normal
// best and chooses the big window; the first, closed last, changes none
// of it.
TEST_F(WindowRoad, AnIdleCopyClosedLastKeepsWhatTheOtherSaved) {
  ASSERT_TRUE(write_work_file(s.folder, "KV scores.dat", "2000 -100 2000"));
  game_process idle;
  ASSERT_TRUE(launch_other_copy(s, idle)) << "no first window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_NO_FATAL_FAILURE(give_up_over_a_negative_best());
  ASSERT_TRUE(wait_for_picture(
      s, [](const rgb_image &p) { return shows_score_table(p, 2000, 0, 2000); }, 5000));
  ASSERT_TRUE(tap_key_until(s, XK_Escape, shows_title, 5000, 2000));
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1));
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_options, 5000)) << "OPTIONS did not open";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, size_entry));
  ASSERT_TRUE(tap_key_until(
      s, XK_space, [&](const rgb_image &) { return get_window_size(s.server, s.window).width == 640; }, 5000))
      << "SCREEN SIZE: the window did not become 640x480";
  for (game_process *copy : {&s.game, &idle}) {
    ASSERT_TRUE(send_close_message(s.server, copy == &idle ? s.other_copy : s.window));
    const exit_result r = wait_for_exit(*copy, 5000);
    ASSERT_TRUE(r.exited) << (copy == &idle ? "the idle copy" : "the second copy") << " did not quit";
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 1 1 84 85 82 83 75 28");
    EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 0 2000");
  }
}

// Closed in play, a game is not counted: its 0 would beat the best of -100.
TEST_F(WindowRoad, AGameClosedInPlayLeavesTheBestScoresAsTheyWere) {
  ASSERT_TRUE(write_work_file(s.folder, "KV scores.dat", "2000 -100 2000"));
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_TRUE(skip_to_title(s, XK_space));
  ASSERT_TRUE(start_play(s, XK_space));
  ASSERT_TRUE(send_close_message(s.server, s.window));
  const exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited) << "still running after the close message in play";
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 -100 2000");
}

// The display may go away under the game: the X server stopped during the
// banner, or the window destroyed by another program at the table. Either
// way the finished game's best is saved, one line says so, and the status is 1.
TEST_F(WindowRoad, TheDisplayStoppedDuringTheBannerStillSavesTheGame) {
  ASSERT_NO_FATAL_FAILURE(give_up_over_a_negative_best());
  stop_xvfb(s.server);
  const exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited) << "still running without its display";
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(read_game_lines(s.folder), "krove-vestin: the display went away; settings and scores saved\n");
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 0 2000");
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
}

TEST_F(WindowRoad, TheWindowDestroyedByAnotherProgramStillSavesTheGame) {
  ASSERT_NO_FATAL_FAILURE(give_up_over_a_negative_best());
  ASSERT_TRUE(wait_for_picture(
      s, [](const rgb_image &p) { return shows_score_table(p, 2000, 0, 2000); }, 5000));
  ASSERT_TRUE(destroy_window(s.server, s.window));
  const exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited) << "still running without its window";
  EXPECT_EQ(r.code, 1);
  const std::string said = read_game_lines(s.folder);
  // The error named as X names it: BadWindow or BadDrawable, whichever
  // request met the destroyed window first.
  EXPECT_TRUE(said == "krove-vestin: the game's window was lost (X error 3, BadWindow); settings and scores saved\n" ||
              said == "krove-vestin: the game's window was lost (X error 9, BadDrawable); settings and scores saved\n")
      << said;
  EXPECT_EQ(read_work_file(s.folder, "KV scores.dat"), "2000 0 2000");
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 0 1 84 85 82 83 75 28");
}

TEST_F(WindowRoad, FireHeldThroughScreenSizeGoesStraightBackToTheOptions) {
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_TRUE(skip_to_title(s, XK_space));
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1));
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_options, 5000)) << "OPTIONS did not open";
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 100, 5, size_entry));
  // Fire goes down on SCREEN SIZE and stays down through the switch.
  ASSERT_TRUE(key_down(s.server, XK_space));
  const bool switched = wait_for_window_size(s.server, s.window, 640, 480, 5000);
  bool saw_press_fire = false;
  rgb_image picture;
  const bool back = wait_for_picture(
      s,
      [&](const rgb_image &p) {
        saw_press_fire = saw_press_fire || shows_size_changed(p);
        return shows_options(p);
      },
      3000, &picture);
  key_up(s.server, XK_space);
  ASSERT_TRUE(switched) << "the window did not become 640x480";
  EXPECT_TRUE(back) << "the options did not come back";
  EXPECT_FALSE(saw_press_fire) << "\"Press fire.\" showed although fire was held";
  ASSERT_TRUE(poll_until([&] { return focus_window(s.server, s.window); }, 3000, 10));
  EXPECT_EQ(marked_entry(100, 5), size_entry);
  ASSERT_TRUE(send_close_message(s.server, s.window));
  const exit_result r = wait_for_exit(s.game, 3000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read_work_file(s.folder, "KV settings.dat"), "2 1 1 84 85 82 83 75 28");
}

// A key that is not held must read as up once the window has been re-made,
// whatever the game heard before: its release may have gone to another
// window meanwhile. With the focus elsewhere (so no focus change tidies up
// for the game), Down and fire are made to read as held without the
// keyboard holding them: Down moves the marker to SCREEN SIZE, fire chooses
// it. After the switch neither may stay down: a stuck Down would walk the
// marker on every 8 frames, a stuck fire would choose again.
TEST_F(WindowRoad, KeysNotHeldReadAsUpAfterTheWindowIsRemade) {
  ASSERT_TRUE(launch_game(s)) << "no game window; stderr:\n" << read_game_stderr(s.folder);
  ASSERT_TRUE(skip_to_title(s, XK_space));
  ASSERT_TRUE(choose_menu_entry(s, XK_Down, 125, 3, 1));
  ASSERT_TRUE(hold_key_until(s, XK_space, shows_options, 5000)) << "OPTIONS did not open";
  pause_ms(700);  // the options take fire from their frame 31
  ASSERT_TRUE(focus_elsewhere(s.server));
  ASSERT_TRUE(send_key_event(s.server, s.window, XK_Down, true));
  pause_ms(5);
  ASSERT_TRUE(send_key_event(s.server, s.window, XK_space, true));
  ASSERT_TRUE(wait_for_window_size(s.server, s.window, 640, 480, 5000)) << "no switch";
  ASSERT_TRUE(wait_for_picture(s, shows_options, 3000)) << "the options did not come back";
  int marked = size_entry;
  const long long until = now_ms() + 1500;
  while (now_ms() < until && marked == size_entry) {
    rgb_image p;
    if (grab_picture(s, p) && shows_options(p)) marked = find_marked_entry(p, 100, 5);
    pause_ms(20);
  }
  EXPECT_EQ(marked, size_entry) << "the marker moved on by itself: Down stayed down";
  EXPECT_EQ(get_window_size(s.server, s.window).width, 640) << "fire stayed down and chose again";
}
