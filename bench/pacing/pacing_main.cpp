// kv-pacing: plays one fixed session of the measurement build in a private
// Xvfb and prints how evenly and how cheaply it presented its frames.
//   kv-pacing [--large] [--binary PATH] [--data DIR] [--keep-log FILE] [--shots DIR]
// The session: the splash in full, the title, a game of a minute with a shot
// about every second and a pause, Esc, the game-over banner, the high
// scores, Esc to the title, the close button.
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cpu_sampler.h"
#include "pacing_play.h"
#include "pacing_report.h"
#include "pacing_stats.h"
#include "xharness.h"

namespace {

struct options {
  bool large = false;
  std::string binary;
  std::string data = KV_DATA_DIR;
  std::string keep_log;
  std::string shots;  // folder for a screenshot every few seconds of play
};

bool parse_options(int argc, char **argv, options &o) {
  o.binary = game_binary_path();
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    if (a == "--large") {
      o.large = true;
    } else if (a == "--binary" && i + 1 < argc) {
      o.binary = argv[++i];
    } else if (a == "--data" && i + 1 < argc) {
      o.data = argv[++i];
    } else if (a == "--shots" && i + 1 < argc) {
      o.shots = argv[++i];
    } else if (a == "--keep-log" && i + 1 < argc) {
      o.keep_log = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

// Sleeps until ms after the moment `from` (now_ms clock).
void until(long long from, long long ms) { pause_ms(static_cast<int>(from + ms - now_ms())); }

// Which thread costs what over the whole session, in start order: the
// game's own, then Allegro's (X events, timer).
void print_threads(const std::vector<std::pair<pid_t, std::int64_t>> &before,
                   const std::vector<std::pair<pid_t, std::int64_t>> &after, double wall_s) {
  std::printf("CPU by thread, in start order:");
  for (const auto &a : after)
    for (const auto &b : before)
      if (a.first == b.first) std::printf(" %.2f%%", 100.0 * (a.second - b.second) / 1e9 / wall_s);
  std::printf("\n");
}

bool run_session(const options &o, std::vector<logged_frame> &log,
                 std::vector<cpu_sample> &samples, std::int64_t &spawn_ns, int &shots_fired) {
  xvfb_server server;
  work_folder folder;
  game_process game;
  if (!start_xvfb(server)) return std::fprintf(stderr, "kv-pacing: no Xvfb\n"), false;
  if (!make_work_folder(folder, o.data))
    return std::fprintf(stderr, "kv-pacing: no pictures in %s\n", o.data.c_str()), false;
  write_work_file(folder, "KV settings.dat",
                  o.large ? "2 1 1 84 85 82 83 75 28" : "2 0 1 84 85 82 83 75 28");
  spawn_ns = monotonic_ns();
  if (!start_game(game, o.binary, folder, server))
    return std::fprintf(stderr, "kv-pacing: cannot start %s\n", o.binary.c_str()), false;
  const long long t0 = now_ms();
  cpu_sampler sampler;
  start_sampling(sampler, game.pid, 100);

  x_window w = wait_for_game_window(server, 5000);
  if (!w || !focus_window(server, w)) {
    kill_game(game);
    stop_sampling(sampler);
    return std::fprintf(stderr, "kv-pacing: no game window\n%s", read_game_stderr(folder).c_str()), false;
  }
  const auto threads_before = thread_cpu_ns(game.pid);
  const std::int64_t threads_from = monotonic_ns();
  until(t0, 12000);  // the splash runs its 5.6 s, then the title for a while
  tap_key(server, XK_space);  // START
  const play_result played = play_game(server, w, 64000, o.shots);
  shots_fired = played.shots;
  if (played.lost) {
    // The banner has run: the high scores are up already.
    std::printf("WARNING: the field ended the game after %.1f s; this run's game is short\n",
                played.played_ms / 1000.0);
    pause_ms(8000);
  } else {
    tap_key(server, XK_Escape);  // give up: the game-over banner, then the high scores
    pause_ms(9500);              // the banner, then the high scores for 8 s
  }
  tap_key(server, XK_Escape);  // back to the title
  pause_ms(4000);
  print_threads(threads_before, thread_cpu_ns(game.pid), (monotonic_ns() - threads_from) / 1e9);
  send_close_message(server, w);
  const exit_result r = wait_for_exit(game, 5000);
  samples = stop_sampling(sampler);
  if (!r.exited || r.code != 0) {
    std::fprintf(stderr, "kv-pacing: the game did not quit cleanly\n%s", read_game_stderr(folder).c_str());
    return false;
  }
  const std::string path = work_path(folder, "KV frames.log");
  if (!o.keep_log.empty()) {
    std::error_code err;
    std::filesystem::copy_file(path, o.keep_log, std::filesystem::copy_options::overwrite_existing, err);
  }
  if (!read_frame_log(path, log))
    return std::fprintf(stderr, "kv-pacing: no readable \"KV frames.log\" (not a measurement build?)\n"), false;
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  options o;
  if (!parse_options(argc, argv, o)) {
    std::fprintf(stderr, "usage: kv-pacing [--large] [--binary PATH] [--data DIR] [--keep-log FILE] [--shots DIR]\n");
    return 2;
  }
  std::vector<logged_frame> log;
  std::vector<cpu_sample> samples;
  std::int64_t spawn_ns = 0;
  int shots = 0;
  if (!run_session(o, log, samples, spawn_ns, shots)) return 1;
  std::printf("%d shots fired\n", shots);
  print_report(log, samples, spawn_ns, o.large ? "640x480 (stretched)" : "320x240");
  return 0;
}
