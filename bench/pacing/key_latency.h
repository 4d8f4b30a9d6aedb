// Key-to-screen latency of the game: how long after a key press the window
// shows the cursor in its new column.
#pragma once
#include <cstdint>
#include <vector>

#include "xharness.h"

struct latency_result {
  std::vector<double> ms;  // one per press the window answered
  int missed = 0;          // presses it did not answer within a second
  int grabs = 0;           // window grabs while waiting, and their time:
  std::int64_t grabbing_ns = 0;  // the resolution of the figures
};

// Presses Left and Right in turn (the cursor moves between two columns),
// waiting a seeded random 100-400 ms before each so the presses fall at
// every moment of the frame. Each is timed from just before the XTEST press
// to the end of the first grab that shows the cursor's outline in its new
// column, grabbing back to back; the key goes up once seen. Adds to result.
void measure_key_latency(xvfb_server &server, x_window window, int presses, unsigned seed,
                         latency_result &result);
