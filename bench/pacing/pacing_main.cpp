// kv-pacing: plays one fixed session of the measurement build in a private
// Xvfb and prints how evenly and how cheaply it presented its frames.
//   kv-pacing [--large | --fullscreen] [--latency-only] [--binary PATH] [--data DIR]
//             [--keep-log FILE] [--shots DIR]
// --fullscreen plays on a 1920x1080 monitor with openbox, the game started
// with --fullscreen (the picture at 4x).
// The session: the splash in full, the title, START, 90 arrow presses timed
// from key to screen, a game of a minute with a shot about every second and
// a pause, Esc, the game-over banner, the high scores, Esc to the title, the
// close button. --latency-only closes the window after the presses.
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cpu_sampler.h"
#include "field_reader.h"
#include "key_latency.h"
#include "pacing_play.h"
#include "pacing_report.h"
#include "pacing_stats.h"
#include "xharness.h"

namespace {

struct options {
  bool large = false;
  bool fullscreen = false;
  bool latency_only = false;  // no minute of play, no high scores
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
    } else if (a == "--fullscreen") {
      o.fullscreen = true;
    } else if (a == "--latency-only") {
      o.latency_only = true;
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

// Six rounds of 15 presses, the same moments in every run. Without shots
// the well fills in about 25 s, so 5 s of play between rounds keep it down.
latency_result time_key_presses(xvfb_server &server, x_window w) {
  rgb_image image;
  field_view view;
  poll_until([&] { return grab_window(server, w, image) && read_field(image, view); }, 5000, 20);
  pause_ms(1500);  // the level banner's rest: keys count after it
  latency_result latency;
  for (unsigned round = 0; round < 6; round++) {
    if (round > 0) play_game(server, w, 5000, "");
    measure_key_latency(server, w, 15, 14 + round, latency);
  }
  return latency;
}

void print_latency(const latency_result &l) {
  double total = 0;
  for (double v : l.ms) total += v;
  std::printf("key to screen: %zu presses, %d missed, mean %.2f p50 %.2f p95 %.2f max %.2f ms"
              " (one grab %.2f ms)\n",
              l.ms.size(), l.missed, l.ms.empty() ? 0 : total / l.ms.size(), percentile(l.ms, 50),
              percentile(l.ms, 95), percentile(l.ms, 100),
              l.grabs ? l.grabbing_ns / 1e6 / l.grabs : 0);
}

bool run_session(const options &o, std::vector<logged_frame> &log,
                 std::vector<cpu_sample> &samples, std::int64_t &spawn_ns, int &shots_fired) {
  xvfb_server server;
  work_folder folder;
  game_process game;
  if (!start_xvfb(server, o.fullscreen ? "1920x1080x24" : nullptr, o.fullscreen))
    return std::fprintf(stderr, "kv-pacing: no Xvfb%s\n", o.fullscreen ? " with openbox" : ""), false;
  if (!make_work_folder(folder, o.data))
    return std::fprintf(stderr, "kv-pacing: no pictures in %s\n", o.data.c_str()), false;
  write_work_file(folder, "KV settings.dat",
                  o.large ? "2 1 1 84 85 82 83 75 28" : "2 0 1 84 85 82 83 75 28");
  spawn_ns = monotonic_ns();
  const std::vector<std::string> args = o.fullscreen ? std::vector<std::string>{"--fullscreen"}
                                                    : std::vector<std::string>{};
  if (!start_game(game, o.binary, folder, server, args))
    return std::fprintf(stderr, "kv-pacing: cannot start %s\n", o.binary.c_str()), false;
  const long long t0 = now_ms();
  cpu_sampler sampler;
  start_sampling(sampler, game.pid, 100);

  x_window w = wait_for_game_window(server, 5000);
  if (o.fullscreen)  // the window that covers the monitor, once it does
    poll_until([&] { return get_window_size(server, w = find_game_window(server)).width == 1920; }, 5000, 10);
  if (!w || !focus_window(server, w)) {
    kill_game(game);
    stop_sampling(sampler);
    return std::fprintf(stderr, "kv-pacing: no game window\n%s", read_game_stderr(folder).c_str()), false;
  }
  const auto threads_before = thread_cpu_ns(game.pid);
  const std::int64_t threads_from = monotonic_ns();
  until(t0, 12000);  // the splash runs its 5.6 s, then the title for a while
  tap_key(server, XK_space);  // START
  const latency_result latency = time_key_presses(server, w);
  const play_result played = o.latency_only ? play_result() : play_game(server, w, 64000, o.shots);
  shots_fired = played.shots;
  if (o.latency_only) {
    // Straight to the close button.
  } else if (played.lost) {
    // The banner has run: the high scores are up already.
    std::printf("WARNING: the field ended the game after %.1f s; this run's game is short\n",
                played.played_ms / 1000.0);
    pause_ms(8000);
  } else {
    tap_key(server, XK_Escape);  // give up: the game-over banner, then the high scores
    pause_ms(9500);              // the banner, then the high scores for 8 s
  }
  if (!o.latency_only) {
    tap_key(server, XK_Escape);  // back to the title
    pause_ms(4000);
  }
  print_threads(threads_before, thread_cpu_ns(game.pid), (monotonic_ns() - threads_from) / 1e9);
  print_latency(latency);
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
    std::fprintf(stderr, "usage: kv-pacing [--large | --fullscreen] [--latency-only] [--binary PATH] [--data DIR] [--keep-log FILE] [--shots DIR]\n");
    return 2;
  }
  std::vector<logged_frame> log;
  std::vector<cpu_sample> samples;
  std::int64_t spawn_ns = 0;
  int shots = 0;
  if (!run_session(o, log, samples, spawn_ns, shots)) return 1;
  std::printf("%d shots fired\n", shots);
  print_report(log, samples, spawn_ns,
               o.fullscreen ? "1920x1080 full screen (4x)" : o.large ? "640x480 (stretched)" : "320x240");
  return 0;
}
