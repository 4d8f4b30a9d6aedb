// The rules every game frame must keep, checked between frames by the soak.
#pragma once
#include <string>

// What the checks compare across one frame.
struct frame_state {
  int cells[96];
  int tx, ty, lift, recharge, score, bonus, n_power;
  bool key_fire;
  int sparks, texts;
};

frame_state observe_frame();
// "" when the frame from before to after kept every rule, else what broke.
std::string check_frame(const frame_state &before, const frame_state &after);

// Frames in which the score changed, by kind, over all checks so far.
struct score_tally {
  long colour_shots = 0, lone_shots = 0, power_shots = 0;
  int largest_group = 0;
};
const score_tally &score_counts();
