// The rules every game frame must keep, checked between frames by the soak.
#pragma once
#include <string>

// What the checks compare across one frame.
struct frame_state {
  int cells[96];
  int tx, ty, lift, recharge, score, bonus, n_power;
  bool key_fire;
  int sparks, texts;
  int loop;        // the frame's number in its game
  bool playing;    // the game screen still runs
  bool held[6];    // keys down: left, right, up, down, fire, Esc
  int escapes;     // Esc presses the bot has made so far
};

frame_state observe_frame();
// "" when the frame from before to after kept every rule, else what broke
// and a picture of the well. The checks hold their own model of the
// player's side (which keys act, the fire latch, the recharge), of the
// score a shot must bring and of when the game must end.
std::string check_frame(const frame_state &before, const frame_state &after);

// Frames in which the score changed, by kind, over all checks so far.
struct score_tally {
  long colour_shots = 0, lone_shots = 0, power_shots = 0;
  int largest_group = 0;
};
const score_tally &score_counts();
