// kv-web-bench: the browser game beside the native one, in one run.
//  1. The splash's frames 10 to 259, timed by each game's own stamps (the
//     native game's frame log; the page's notes of what it puts on its
//     canvas): the native window; the page on a desktop; the phone page
//     (390x844 at 3 display pixels, touch) at full speed and with the CPU
//     slowed 4x and 6x (DevTools' mid-tier and low-end phones).
//  2. CPU on the title and in a game, each left alone for N seconds: the
//     native game's process; Chromium's renderer (the page's process), its
//     main thread and compositor apart; all of Chromium.
//  3. Where a frame of the page goes, at 1x on the desktop page and 4x on
//     the phone page: DevTools' sampling profiler on a build with function
//     names ($KV_WEB_PROFILE_DIR), the compositing threads' CPU, and how
//     late the page's timers wake it.
//  4. Every engine (Chromium, Firefox, WebKit), a desktop page each, three
//     rounds: the splash's frames against their targets (mean 20.00 +- 0.10
//     ms, p99 at most 23 ms), and CPU on the title against a bare page that
//     puts a 320x240 picture 50 times a second in the same engine (at most
//     1.2 times), all of the engine's processes counted.
//  5. The first picture (the first lit picture the page puts, from the
//     navigation's start, by its own stamps) on a fresh profile in
//     Chromium, and the bytes fetched for it: with no network, at 150 ms
//     and 1.6 Mbit/s (Lighthouse's mobile) and at 400 ms and 400 kbit/s (a
//     slow 3G), by DevTools' network emulation, from a server that sends
//     the files as they are and from one that gzips them.
//   kv-web-bench [--seconds N] [--engines | --loading]   (one part alone)
// The native game should be the measurement build (it logs its frames;
// bench/web/measure-web.sh builds and runs it), given as $KV_GAME_BINARY.
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cpu_sampler.h"
#include "game_art.h"
#include "game_driver.h"
#include "game_screens.h"
#include "game_steps.h"
#include "pacing_stats.h"
#include "page_cost.h"
#include "web_bridge.h"

namespace {

const int first_frame = 10, last_frame = 259;  // the splash's frames timed

struct device {
  const char *name, *open;
  int throttle;
};
const device desktop{"page, desktop, 1x", "open", 1};
const char *const phone = R"(open {"dsf":3,"width":390,"height":844,"mobile":true,"touch":true})";
const device phones[] = {{"phone page, 1x", phone, 1}, {"phone page, 4x", phone, 4}, {"phone page, 6x", phone, 6}};

void print_pace(const char *where, const std::vector<double> &intervals) {
  const interval_summary f = summarise(intervals);
  if (!f.frames) {
    std::printf("%-22s %10s %8s %8s\n", where, "-", "-", "-");
    return;
  }
  std::printf("%-22s %7.2f ms %5.1f ms %4d/%d\n", where, 1000.0 / f.mean_fps, f.p99_ms, f.over_21ms,
              f.frames);
}

// The splash's frames first_frame..last_frame of the native game's log.
std::vector<double> native_splash(const std::vector<logged_frame> &log) {
  const std::vector<double> all = present_intervals(log, -3 /* the splash */);
  if (all.size() < static_cast<size_t>(last_frame)) return {};
  return std::vector<double>(all.begin() + first_frame, all.begin() + last_frame);
}

// The same frames of the page, from the first picture with anything on it.
std::vector<double> page_splash(web_bridge &b) {
  const auto number = [&](const std::string &js) { return std::atof(page_value(b, js).c_str()); };
  std::vector<double> out;
  if (!poll_until([&] { return number("String(kvCanvasLog.firstShown)") >= 0; }, 20000, 200)) return out;
  const int first = static_cast<int>(number("String(kvCanvasLog.firstShown)"));
  if (!poll_until([&] { return number("String(kvCanvasLog.times.length)") > first + last_frame; }, 30000, 500))
    return out;
  std::istringstream words(page_value(
      b, "kvCanvasLog.times.slice(" + std::to_string(first + first_frame) + ", " +
             std::to_string(first + last_frame + 1) + ").join(' ')"));
  double t, last = -1;
  while (words >> t) {
    if (last >= 0) out.push_back(t - last);
    last = t;
  }
  return out;
}

// A fresh profile on the device, the game's folder served from root when
// given, the CPU slowed, the game's page.
bool open_page(web_bridge &b, const device &d, const char *root = nullptr) {
  return bridge_call(b, d.open) && (!root || bridge_call(b, std::string("root ") + root)) &&
         (d.throttle == 1 || bridge_call(b, "throttle " + std::to_string(d.throttle))) && bridge_call(b, "play");
}

// One engine's table: three rounds, each the splash on a desktop page and
// CPU for seconds on its title, then as long on the bare page
// (bench/web/bare.html), the two taking turns so that the machine's own
// drift falls on both; the splashes' frames pooled, the CPU the median of
// each. False if the engine did not play.
bool engine_table(web_bridge &b, game_session &w, const char *engine, int seconds) {
  const auto ticks = [&](cpu_use &c) { engine_cpu(b.pid, c); };
  const auto percent = [](const cpu_use &c) { return 100 * c.all / c.wall; };
  if (!bridge_call(b, std::string("engine ") + engine)) return false;
  std::vector<double> splash, game, page;
  for (int round = 0; round < 3; ++round) {
    if (!open_page(b, desktop)) return false;
    const std::vector<double> frames = page_splash(b);
    if (frames.empty() || !wait_for_picture(w, shows_title, 15000)) return false;
    splash.insert(splash.end(), frames.begin(), frames.end());
    pause_ms(1000);
    game.push_back(percent(hold_still(seconds, ticks)));
    if (!bridge_call(b, "open") || !bridge_call(b, "root " KV_BENCH_WEB_DIR) || !bridge_call(b, "visit bare.html"))
      return false;
    pause_ms(2000);
    page.push_back(percent(hold_still(seconds, ticks)));
  }
  std::sort(game.begin(), game.end());
  std::sort(page.begin(), page.end());
  const interval_summary f = summarise(splash);
  const double mean = 1000.0 / f.mean_fps, title = game[1], bare = page[1];
  const auto met = [](bool ok) { return ok ? "met" : "MISSED"; };
  std::printf("\n%-8s (3 rounds)              measured    target\n", engine);
  std::printf("splash, mean frame          %8.2f ms   20.00 +- 0.10 ms  %s\n", mean, met(std::abs(mean - 20) <= 0.1));
  std::printf("splash, p99                 %8.1f ms   <= 23 ms          %s\n", f.p99_ms, met(f.p99_ms <= 23));
  std::printf("CPU on the title, median    %8.1f %%   (%.1f-%.1f)\n", title, game[0], game[2]);
  std::printf("CPU, the bare page, median  %8.1f %%   (%.1f-%.1f)\n", bare, page[0], page[2]);
  std::printf("title / bare page           %8.2f x    <= 1.2 x          %s\n", title / bare, met(title <= 1.2 * bare));
  return true;
}

// The first picture at three networks, from a plain server and from one that sends gzip.
bool loading_table(web_bridge &b) {
  const struct {
    const char *name, *network;
    double target_s;
  } networks[] = {{"none (127.0.0.1)", "0 0", 0.5}, {"150 ms, 1.6 Mbit/s", "150 1600", 2.0},
                  {"400 ms, 400 kbit/s", "400 400", 7.0}};
  if (!bridge_call(b, "engine chromium")) return false;
  std::printf("\nfirst picture, Chromium    as served: bytes, first picture   gzipped: bytes, first picture   target\n");
  for (const auto &n : networks) {
    double first[2] = {}, bytes[2] = {};
    for (int gzipped = 0; gzipped < 2; ++gzipped) {
      if (!bridge_call(b, "open") || !bridge_call(b, gzipped ? "gzip on" : "gzip off") ||
          !bridge_call(b, std::string("network ") + n.network) || !bridge_call(b, "play"))
        return false;
      const auto number = [&](const std::string &js) { return std::atof(page_value(b, js).c_str()); };
      if (!poll_until([&] { return number("String(kvCanvasLog.firstShown)") >= 0; }, 60000, 200)) return false;
      first[gzipped] = number("String(kvCanvasLog.times[kvCanvasLog.firstShown])") / 1000;
      bytes[gzipped] = number("String(performance.getEntries().reduce((n, e) => n + (e.transferSize || 0), 0))");
    }
    std::printf("%-26s %8.0f KB  %6.2f s        %8.0f KB  %6.2f s        <= %.1f s %s\n", n.name, bytes[0] / 1000,
                first[0], bytes[1] / 1000, first[1], n.target_s, first[0] <= n.target_s ? "met" : "MISSED");
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  int seconds = 10;
  bool engines_alone = false, loading_alone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc)
      seconds = std::atoi(argv[++i]);
    else if (arg == "--engines")
      engines_alone = true;
    else if (arg == "--loading")
      loading_alone = true;
    else
      seconds = 0;
  }
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: kv-web-bench [--seconds N] [--engines | --loading]\n");
    return 2;
  }
  if (loading_alone) {
    web_bridge b;
    std::string why;
    if (!start_bridge(b, why)) return std::fprintf(stderr, "no browser: %s\n", why.c_str()), 1;
    std::printf("%ld cores, load average %s\n", sysconf(_SC_NPROCESSORS_ONLN), load_average().c_str());
    return loading_table(b) ? 0 : (std::fprintf(stderr, "the page did not load\n"), 1);
  }
  if (engines_alone) {
    web_bridge b;
    std::string why;
    web_game io(b);
    game_session w;
    w.io = &io;
    if (!load_game_art(game_data_dir())) return std::fprintf(stderr, "no art in %s\n", game_data_dir().c_str()), 1;
    if (!start_bridge(b, why)) return std::fprintf(stderr, "no browser: %s\n", why.c_str()), 1;
    std::printf("%ld cores, load average %s; CPU %% of one core, all of the engine's processes\n",
                sysconf(_SC_NPROCESSORS_ONLN), load_average().c_str());
    for (const char *engine : {"chromium", "firefox", "webkit"})
      if (!engine_table(b, w, engine, seconds)) return std::fprintf(stderr, "%s did not play\n", engine), 1;
    return 0;
  }

  // The native game: its splash untouched, then the title and a game.
  game_session n;
  if (!prepare_session(n) || !launch_game(n) || !wait_for_picture(n, shows_title, 15000)) {
    std::fprintf(stderr, "no native game in Xvfb\n");
    return 1;
  }
  const auto native_ticks = [&](cpu_use &c) {
    c.process = 0;
    for (const auto &thread : thread_cpu_ns(n.game.pid)) c.process += thread.second / 1e9;
  };
  const cpu_use native_title = hold_still(seconds, native_ticks);
  if (!start_play(n, XK_space)) return std::fprintf(stderr, "no native game play\n"), 1;
  const cpu_use native_game = hold_still(seconds, native_ticks);
  send_close_message(n.server, n.window);
  wait_for_exit(n.game, 5000);
  std::vector<logged_frame> log;
  const bool logged = read_frame_log(work_path(n.folder, "KV frames.log"), log);

  web_bridge b;
  std::string why;
  web_game io(b);
  game_session w;
  w.io = &io;
  if (!start_bridge(b, why) || !bridge_call(b, "initscript " + wake_recorder)) {
    std::fprintf(stderr, "no browser: %s\n", why.c_str());
    return 1;
  }
  // The desktop page: its splash, then the title and a game.
  if (!open_page(b, desktop)) return std::fprintf(stderr, "no page\n"), 1;
  const std::vector<double> desktop_splash = page_splash(b);
  if (!wait_for_picture(w, shows_title, 15000)) return std::fprintf(stderr, "no title in the page\n"), 1;
  const auto page_ticks = [&](cpu_use &c) { chromium_cpu(b.pid, c); };
  const cpu_use web_title = hold_still(seconds, page_ticks);
  if (!start_play(w, XK_space)) return std::fprintf(stderr, "no game play in the page\n"), 1;
  const cpu_use web_game = hold_still(seconds, page_ticks);
  std::vector<std::vector<double>> phone_splash;
  for (const device &d : phones) {
    if (!open_page(b, d)) return std::fprintf(stderr, "no %s\n", d.name), 1;
    phone_splash.push_back(page_splash(b));
  }

  // Where a frame goes: the build with function names, at 1x and 4x.
  const char *names = std::getenv("KV_WEB_PROFILE_DIR");
  frame_cost cost_1x, cost_4x;
  const bool profiled = names && *names && open_page(b, desktop, names) && measure_frame_cost(b, cost_1x) &&
                        open_page(b, phones[1], names) && measure_frame_cost(b, cost_4x);

  std::printf("%ld cores, load average %s; CPU %% of one core%s\n\n", sysconf(_SC_NPROCESSORS_ONLN),
              load_average().c_str(), logged ? "" : "; no native frame log (not a measurement build)");
  std::printf("splash, frames %d-%d     mean frame  p99   over 21 ms\n", first_frame, last_frame);
  print_pace("native window", native_splash(log));
  print_pace(desktop.name, desktop_splash);
  for (size_t i = 0; i < phone_splash.size(); ++i) print_pace(phones[i].name, phone_splash[i]);
  std::printf("\n%d s a screen, untouched\n", seconds);
  print_cpu_header();
  print_cpu("title", native_title, web_title);
  print_cpu("game", native_game, web_game);
  if (profiled)
    print_frame_cost(cost_1x, "desktop 1x", cost_4x, "phone 4x");
  else
    std::printf("\n(no frame-time split: $KV_WEB_PROFILE_DIR names no build with function names)\n");
  for (const char *engine : {"chromium", "firefox", "webkit"})
    if (!engine_table(b, w, engine, seconds)) return std::fprintf(stderr, "%s did not play\n", engine), 1;
  if (!loading_table(b)) return std::fprintf(stderr, "the page did not load\n"), 1;
  return 0;
}
