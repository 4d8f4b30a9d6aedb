// The game's page in Chromium, driven from C++ through the Node bridge
// (bridge.js): one command a line on its stdin, one answer a line on its
// stdout. The page's keys and picture plug into the window tests' driver
// as a game_io, so the browser plays the same roads.
#pragma once
#include <sys/types.h>

#include <string>

#include "game_driver.h"

struct web_bridge {
  pid_t pid = -1;
  int to = -1, from = -1;  // its stdin and stdout
  std::string pending;     // read past the last answer
  std::string base_url;    // the game's page, http://127.0.0.1:PORT/arcade/krove-vestin/

  web_bridge() = default;
  web_bridge(const web_bridge &) = delete;
  web_bridge &operator=(const web_bridge &) = delete;
  ~web_bridge();
};

// Starts node with the bridge, which serves the game's folder ($KV_WEB_STAGE_DIR,
// else the one CMake was given) and launches Chromium; false (and why) if
// it does not answer within a minute.
bool start_bridge(web_bridge &b, std::string &why);
// The game's folder the bridge serves at the start.
std::string game_folder();
void stop_bridge(web_bridge &b);

// One command, e.g. "down Space"; true on "ok", with the rest of the answer
// in reply (or the failure's reason).
bool bridge_call(web_bridge &b, const std::string &command, std::string *reply = nullptr);
// The value of a JavaScript expression in the page, as a string (each
// character one byte, as the page's storage keeps the game's files).
std::string page_value(web_bridge &b, const std::string &expression);
// "grab": the canvas's backing pixels; "shot": the page's viewport as shown.
bool bridge_picture(web_bridge &b, const std::string &command, rgb_image &image);
// The bridge's text and pixels, from base64.
std::string from_base64(const std::string &text);

// The KeyboardEvent.code a PC keyboard sends for an X keysym, or "".
std::string key_code(unsigned long keysym);

// The touch control that does what a key does ("Left", "Fire", "Back"...),
// or "" for a key they have none for.
std::string control_name(unsigned long keysym);

// The stand-in pad's button (the standard mapping) that does what a key
// does: A for space, B for Esc, Start for 1, the d-pad for the arrows; -1
// for a key it has none for.
int pad_button(unsigned long keysym);

// How the page is played: its keys, its touch controls (a key held is a
// finger held on its control, control_name; several at once), or the
// stand-in pad 0 (standin_pad.js; pad_button).
enum class web_input { keys, touch, pad };

// The page's keys, touch controls or pad, and its canvas, for game_driver.
struct web_game : game_io {
  explicit web_game(web_bridge &bridge, web_input by = web_input::keys) : b(bridge), input(by) {}
  bool key_down(unsigned long keysym) override { return press(keysym, true); }
  bool key_up(unsigned long keysym) override { return press(keysym, false); }
  bool grab(rgb_image &image) override { return bridge_picture(b, "grab", image); }
  bool press(unsigned long keysym, bool down);
  web_bridge &b;
  web_input input;
};
