#include "core/frame_log.h"

#include <time.h>

#include <cinttypes>
#include <cstdio>

#include "core/clock.h"
#include "core/state.h"

// A static array: its pages are only touched as frames are noted, so the
// log costs nothing at start-up and nothing per frame but one store.
static frame_note notes[FRAME_LOG_CAPACITY];
static int note_count = 0;
static int dropped = 0;

void frame_log_record(int mark) {
  if (note_count >= FRAME_LOG_CAPACITY) {
    dropped++;
    return;
  }
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  frame_note &n = notes[note_count++];
  n.timer_ms = timer.load();
  n.mono_ns = static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
  n.state = game_state.load();
  n.mark = mark;
}

int frame_log_count() { return note_count; }
int frame_log_dropped() { return dropped; }
const frame_note &frame_log_at(int i) { return notes[i]; }

void frame_log_clear() {
  note_count = 0;
  dropped = 0;
}

bool frame_log_save(const std::string &path) {
  FILE *f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "# mark timer_ms mono_ns state (0 start, 1 present, 2 hold); dropped %d\n",
               dropped);
  for (int i = 0; i < note_count; i++)
    std::fprintf(f, "%d %" PRId64 " %" PRId64 " %d\n", notes[i].mark, notes[i].timer_ms,
                 notes[i].mono_ns, notes[i].state);
  return std::fclose(f) == 0;
}
