// What every browser test stands on: one Chromium for the whole run (it
// takes seconds to start), the page's keys or its touch controls for the
// window tests' driver, the page's own notes of its pictures, the two files
// in its storage, and what a failing test leaves behind.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game_driver.h"
#include "web_bridge.h"

extern web_bridge bridge;

class web_test : public testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A fresh profile on a display of density display pixels a CSS pixel
  // (with width set, a touch screen of width x height CSS pixels with a
  // phone's viewport rules), and its first tab on the site's blank page.
  bool open_device(double density, int width = 0, int height = 0);
  // The game's page, once it has put a few pictures on its canvas.
  bool play_until_shown();
  // The page's state ("loading", "running", "ended", "failed").
  std::string state();
  // A JavaScript expression's value in the page as a number, -1 if none.
  double page_number(const std::string &expression);
  // Keeps the next count pictures the page puts from its time from on (-1:
  // from now), waits for them without a look at the page meanwhile but a
  // count every half second, and gives their times.
  bool keep_pictures(double from, int count, std::vector<double> &times);
  // Kept picture i at the game's 320x240.
  bool kept_picture(size_t i, rgb_image &picture);
  // From the page's first picture to the title's, in the page's own stamps,
  // with nothing asked of the page meanwhile but now and then a count; -1
  // (and a failure) when no title came between 4.6 and 6.6 s.
  double time_the_splash();

  std::string canvas_size();   // the game's screen as last put on the page, "320x240"
  std::string shown_size();    // the canvas on the page, in CSS pixels
  bool in_full_screen();       // the stage in the browser's full screen
  // One of the game's two files as the page keeps it, or "(none)".
  std::string stored(const std::string &file);
  void store(const std::string &file, const std::string &text);
  // From the title, OPTIONS and SCREEN SIZE with the fire key: the canvas
  // becomes 640x480 at once, and the options come back past "Press fire.".
  void choose_screen_size_640(unsigned long fire);
  // QUIT on the title: the page says the game has ended, status 0.
  void quit_from_title();
  // The picture held, as the page's screenshot in display pixels shows it:
  // factor display pixels a game pixel (0: the largest that fits the page,
  // black around it), the box on whole display pixels and all on the
  // screen, every display pixel in it the game's at its place.
  void expect_picture_shown_whole(int factor);

  web_game keys{bridge};
  web_game fingers{bridge, web_input::touch};
  web_game pad{bridge, web_input::pad};
  game_session s;

 private:
  void report_failure();
  void shoot_held_picture(rgb_image &shot, rgb_image &game, double box[4]);
};
