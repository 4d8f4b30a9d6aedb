// kv-web-bench: the browser game beside the native one, in one run. Each
// stays untouched for a fixed time on the title and then in a game, and the
// bench reports frames a second, the 99th percentile and the longest frame
// time, and the CPU used meanwhile: the native game's process, and
// Chromium's renderer (the page's process) and all of Chromium, from /proc.
//   kv-web-bench [--seconds N]      (default 10 per screen)
// The native game should be the measurement build (it logs its frames;
// bench/web/measure-web.sh builds and runs it), given as $KV_GAME_BINARY;
// the browser's frames are the canvas's updates, timed in the page.
#include <X11/keysym.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cpu_sampler.h"
#include "game_driver.h"
#include "game_steps.h"
#include "pacing_stats.h"
#include "web_bridge.h"

namespace {

struct measured {
  std::int64_t from_ns = 0, to_ns = 0;
  double cpu_s = 0, all_cpu_s = 0;  // the game's (renderer's); all of Chromium's
  std::vector<double> intervals_ms;
};

// Chromium's processes below the bridge: all of them, and its renderers.
void chromium_ticks(pid_t bridge, long &renderer, long &all) {
  renderer = all = 0;
  std::vector<pid_t> tree{bridge};
  DIR *proc = opendir("/proc");
  std::vector<std::pair<pid_t, pid_t>> parent;  // (pid, ppid)
  while (dirent *e = proc ? readdir(proc) : nullptr) {
    const pid_t pid = std::atoi(e->d_name);
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line)) continue;
    std::istringstream after(line.substr(line.rfind(')') + 2));
    char state;
    pid_t ppid = 0;
    after >> state >> ppid;
    parent.emplace_back(pid, ppid);
  }
  if (proc) closedir(proc);
  for (size_t i = 0; i < tree.size(); ++i)
    for (const auto &p : parent)
      if (p.second == tree[i]) tree.push_back(p.first);
  for (size_t i = 1; i < tree.size(); ++i) {
    std::ifstream cmdline("/proc/" + std::to_string(tree[i]) + "/cmdline");
    const std::string args((std::istreambuf_iterator<char>(cmdline)),
                           std::istreambuf_iterator<char>());
    if (args.find("chromium") == std::string::npos) continue;
    const long t = std::max(0L, read_cpu_ticks(tree[i]));
    all += t;
    if (args.find("--type=renderer") != std::string::npos) renderer += t;
  }
}

// Holds still for seconds on the screen at hand, counting CPU ticks.
measured hold(int seconds, const std::function<void(long &, long &)> &ticks) {
  measured m;
  long cpu0, all0, cpu1, all1;
  ticks(cpu0, all0);
  m.from_ns = monotonic_ns();
  pause_ms(seconds * 1000);
  m.to_ns = monotonic_ns();
  ticks(cpu1, all1);
  const double hz = static_cast<double>(sysconf(_SC_CLK_TCK));
  m.cpu_s = (cpu1 - cpu0) / hz;
  m.all_cpu_s = (all1 - all0) / hz;
  return m;
}

void print(const char *screen, const char *where, const measured &m, bool browser) {
  const interval_summary f = summarise(m.intervals_ms);
  const double wall = (m.to_ns - m.from_ns) / 1e9;
  if (f.frames)
    std::printf("%-6s %-8s %6.1f %7.1f %7.1f", screen, where, f.mean_fps, f.p99_ms, f.max_ms);
  else
    std::printf("%-6s %-8s %6s %7s %7s", screen, where, "-", "-", "-");
  std::printf(" %6.1f%%", 100 * m.cpu_s / wall);
  if (browser) std::printf("  (all of Chromium %.1f%%)", 100 * m.all_cpu_s / wall);
  std::printf("\n");
}

// The native game's presents (its frame log) within the measured time.
void native_intervals(const std::vector<logged_frame> &log, measured &m) {
  std::int64_t last = 0;
  for (const logged_frame &f : log) {
    if (f.mark != 1 || f.mono_ns < m.from_ns || f.mono_ns > m.to_ns) continue;
    if (last) m.intervals_ms.push_back((f.mono_ns - last) / 1e6);
    last = f.mono_ns;
  }
}

// The page's canvas updates since the hook went in, then the hook emptied.
const char *const hook_presents =
    "(() => { if (!window.kvPresents) { const t = window.kvPresents = [];"
    " const put = CanvasRenderingContext2D.prototype.putImageData;"
    " CanvasRenderingContext2D.prototype.putImageData = function (...a) {"
    " t.push(performance.now()); return put.apply(this, a); }; } kvPresents.length = 0; return ''; "
    "})()";

void page_intervals(web_bridge &b, measured &m) {
  std::istringstream times(page_value(b, "kvPresents.join(' ')"));
  double t, last = -1;
  while (times >> t) {
    if (last >= 0) m.intervals_ms.push_back(t - last);
    last = t;
  }
}

}  // namespace

int main(int argc, char **argv) {
  int seconds = 10;
  if (argc == 3 && std::string(argv[1]) == "--seconds") seconds = std::atoi(argv[2]);
  if (seconds <= 0 || (argc != 1 && argc != 3)) {
    std::fprintf(stderr, "usage: kv-web-bench [--seconds N]\n");
    return 2;
  }

  game_session n;
  if (!prepare_session(n) || !launch_game(n) || !skip_to_title(n, XK_space)) {
    std::fprintf(stderr, "no native game in Xvfb\n");
    return 1;
  }
  const auto native_ticks = [&](long &cpu, long &all) { all = cpu = read_cpu_ticks(n.game.pid); };
  measured native_title = hold(seconds, native_ticks);
  if (!start_play(n, XK_space)) return std::fprintf(stderr, "no native game play\n"), 1;
  measured native_game = hold(seconds, native_ticks);
  send_close_message(n.server, n.window);
  wait_for_exit(n.game, 5000);
  std::vector<logged_frame> log;
  const bool logged = read_frame_log(work_path(n.folder, "KV frames.log"), log);
  native_intervals(log, native_title);
  native_intervals(log, native_game);

  web_bridge b;
  std::string why;
  web_game io(b);
  game_session w;
  w.io = &io;
  if (!start_bridge(b, why) || !bridge_call(b, "open") || !bridge_call(b, "play") ||
      !skip_to_title(w, XK_space)) {
    std::fprintf(stderr, "no game in the browser: %s\n", why.c_str());
    return 1;
  }
  const auto browser_ticks = [&](long &cpu, long &all) { chromium_ticks(b.pid, cpu, all); };
  page_value(b, hook_presents);
  measured web_title = hold(seconds, browser_ticks);
  page_intervals(b, web_title);
  if (!start_play(w, XK_space)) return std::fprintf(stderr, "no game play in the browser\n"), 1;
  page_value(b, hook_presents);
  measured web_game = hold(seconds, browser_ticks);
  page_intervals(b, web_game);

  std::printf("%d s a screen, untouched; %ld cores; CPU %% of one core%s\n", seconds,
              sysconf(_SC_NPROCESSORS_ONLN),
              logged ? "" : "; no native frame log (not a measurement build)");
  std::printf(
      "screen where       fps  p99 ms  max ms    CPU (native: the game; browser: its renderer)\n");
  print("title", "native", native_title, false);
  print("title", "browser", web_title, true);
  print("game", "native", native_game, false);
  print("game", "browser", web_game, true);
  return 0;
}
