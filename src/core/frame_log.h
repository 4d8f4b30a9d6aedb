// Frame timing notes for the measurement build (cmake -DKV_MEASURE_FRAMES=ON):
// the timer, a monotonic clock reading and the screen at the program's start
// and at every presentation, kept in memory and written out at quit. In the
// shipped game the hooks compile to nothing.
#pragma once
#include <cstdint>
#include <string>

constexpr int MARK_START = 0;    // first thing the program does
constexpr int MARK_PRESENT = 1;  // a picture went to the window
constexpr int MARK_HOLD = 2;     // a banner's one-second hold begins

struct frame_note {
  std::int64_t timer_ms;
  std::int64_t mono_ns;  // CLOCK_MONOTONIC, comparable with other processes
  std::int32_t state;
  std::int32_t mark;
};

// Room for well over an hour of frames; later notes are counted, not kept.
constexpr int FRAME_LOG_CAPACITY = 1 << 18;

void frame_log_record(int mark);  // no allocation, no I/O
int frame_log_count();
int frame_log_dropped();
const frame_note &frame_log_at(int i);
void frame_log_clear();
// One header line, then "mark timer_ms mono_ns state" per note.
bool frame_log_save(const std::string &path);

// The hooks the game calls.
inline void note_frame(int mark) {
#ifdef KV_MEASURE_FRAMES
  frame_log_record(mark);
#else
  (void)mark;
#endif
}

inline void save_frame_notes() {
#ifdef KV_MEASURE_FRAMES
  frame_log_save("KV frames.log");
#endif
}
