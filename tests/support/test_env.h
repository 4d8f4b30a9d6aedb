// Shared set-up for the unit tests: Allegro without a window, the real
// pictures and fonts, a screen made of memory and a clock that only moves
// when the game sleeps.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct BITMAP;

// Puts every global of the game back to its start value, empties the
// effect lists, releases every key and clears buffer and the fake screen.
void reset_game();

// Creates buffer and loads the pictures and fonts from the data folder.
void reload_resources();

void press_key(int scancode);
void release_key(int scancode);
void release_all_keys();

std::uint32_t pixel_at(BITMAP *bmp, int x, int y);  // the raw 32-bit word
std::uint32_t rgb(int r, int g, int b);             // makecol at 32 bits

// What a pixel should be, computed from the rules rather than by the game's code:
// the blend of colour over under at strength quarters, channel by channel.
std::uint32_t blended(std::uint32_t colour, std::uint32_t under, int strength);
// The scrolling background's pixel at (x, y) for a value of scroll_t.
std::uint32_t background_pixel(int x, int y, int scroll);

// Called once a frame, when the frame starts its wait (its picture is up):
// tests press and release keys from here. Cleared by reset_game.
extern std::function<void()> on_frame_wait;

// Milliseconds the game has asked to sleep since the last reset.
extern std::int64_t slept_ms;

// A fresh folder the test works in; the old working folder comes back at the end.
struct temp_folder {
  std::string path;
  std::string previous;
  temp_folder();
  ~temp_folder();
  std::string file(const char *name) const { return path + "/" + name; }
};

std::string read_text(const std::string &path);
void write_text(const std::string &path, const std::string &text);
