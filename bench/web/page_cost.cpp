#include "page_cost.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <vector>

#include "cpu_sampler.h"
#include "pacing_stats.h"

namespace {

std::string read_file(const std::string &path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<pid_t> descendants(pid_t root) {
  std::vector<std::pair<pid_t, pid_t>> parent;  // (pid, ppid)
  DIR *proc = opendir("/proc");
  while (dirent *e = proc ? readdir(proc) : nullptr) {
    const pid_t pid = std::atoi(e->d_name);
    const std::string stat = pid > 0 ? read_file("/proc/" + std::to_string(pid) + "/stat") : "";
    if (stat.empty()) continue;
    std::istringstream after(stat.substr(stat.rfind(')') + 2));
    char state;
    pid_t ppid = 0;
    after >> state >> ppid;
    parent.emplace_back(pid, ppid);
  }
  if (proc) closedir(proc);
  std::vector<pid_t> tree{root};
  for (size_t i = 0; i < tree.size(); ++i)
    for (const auto &p : parent)
      if (p.second == tree[i]) tree.push_back(p.first);
  return tree;
}

double percentile_of(std::vector<double> v, double p) { return v.empty() ? 0 : percentile(v, p); }

bool one_of(const std::string &name, std::initializer_list<const char *> names) {
  for (const char *n : names)
    if (name == n) return true;
  return false;
}

// Where a function's own time goes; null for the page at rest.
double *share_of(frame_cost &cost, const std::string &name, const std::string &file) {
  if (one_of(name, {"(idle)", "(root)"})) return nullptr;
  if (one_of(name, {"(program)", "(garbage collector)"})) return &cost.browser;
  if (file == "wasm") {
    if (one_of(name, {"run_callbacks_to", "_handle_timer_tick", "update_timer()"})) return &cost.catching_up;
    if (name == "_web_show_screen") return &cost.putting;
    return name.rfind("asyncify_", 0) == 0 ? &cost.sleeping : &cost.drawing;
  }
  // The bench's and the tests' notes of the page (canvas_log.js, the wakes).
  if (file.empty() && one_of(name, {"note", "allBlack", "Context.putImageData", "(anonymous)"}))
    return &cost.noting;
  if (one_of(name, {"kv_web_canvas_put", "putImageData", "ImageData", "getContext"})) return &cost.putting;
  // The library's row copies of 512 bytes and more go through JavaScript.
  if (name == "_emscripten_memcpy_big") return &cost.drawing;
  if (one_of(name, {"_emscripten_get_now", "now"})) return &cost.catching_up;
  if (file == "krove-vestin.js" || file.empty()) return &cost.sleeping;
  return &cost.page;  // the page's own scripts (its layout, the touch controls)
}

}  // namespace

void chromium_cpu(pid_t bridge, cpu_use &now) {
  now = cpu_use{};
  now.wall = monotonic_ns() / 1e9;
  for (const pid_t pid : descendants(bridge)) {
    const std::string args = read_file("/proc/" + std::to_string(pid) + "/cmdline");
    if (args.find("chromium") == std::string::npos) continue;
    const bool renderer = args.find("--type=renderer") != std::string::npos;
    const bool gpu = args.find("--type=gpu-process") != std::string::npos;
    for (const auto &[tid, ns] : thread_cpu_ns(pid)) {
      const double s = ns / 1e9;
      std::string name = read_file("/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/comm");
      now.all += s;
      if (renderer) now.process += s;
      if (renderer && tid == pid) now.main += s;
      if (renderer && name.rfind("Compositor", 0) == 0) now.compositor += s;
      if (gpu && name.rfind("VizCompositor", 0) == 0) now.display += s;
    }
  }
}

void engine_cpu(pid_t bridge, cpu_use &now) {
  now = cpu_use{};
  for (const pid_t pid : descendants(bridge)) {
    if (pid == bridge || read_file("/proc/" + std::to_string(pid) + "/comm").rfind("Xvfb", 0) == 0) continue;
    for (const auto &thread : thread_cpu_ns(pid)) now.all += thread.second / 1e9;
  }
}

cpu_use hold_still(int seconds, const std::function<void(cpu_use &)> &read) {
  cpu_use a, b;
  read(a);
  a.wall = monotonic_ns() / 1e9;
  pause_ms(seconds * 1000);
  read(b);
  b.wall = monotonic_ns() / 1e9;
  return cpu_use{b.wall - a.wall,         b.process - a.process, b.main - a.main,
                 b.compositor - a.compositor, b.display - a.display, b.all - a.all};
}

std::string load_average() {
  std::istringstream in(read_file("/proc/loadavg"));
  std::string one, five;
  in >> one >> five;
  return one + " " + five;
}

void print_cpu_header() {
  std::printf("screen  native game  renderer (main thread, compositor)  all of Chromium (display compositor)"
              "  renderer/native\n");
}

void print_cpu(const char *screen, const cpu_use &native, const cpu_use &page) {
  const auto pc = [](double s, double wall) { return wall > 0 ? 100 * s / wall : 0; };
  const double n = pc(native.process, native.wall), r = pc(page.process, page.wall);
  std::printf("%-7s %9.1f %%  %8.1f %% (%4.1f %%, %4.1f %%)           %8.1f %% (%4.1f %%)         %12.2f\n",
              screen, n, r, pc(page.main, page.wall), pc(page.compositor, page.wall), pc(page.all, page.wall),
              pc(page.display, page.wall), n > 0 ? r / n : 0);
}

const std::string wake_recorder =
    "(() => { window.kvWakes = []; if (!window.scheduler || !scheduler.postTask) return;"
    " const post = scheduler.postTask.bind(scheduler);"
    " scheduler.postTask = (task, options) => { const due = performance.now() + ((options && options.delay) || 0);"
    " return post(() => { kvWakes.push(performance.now() - due); return task(); }, options); }; })()";

bool measure_frame_cost(web_bridge &b, frame_cost &cost) {
  const auto frames_now = [&] { return std::atoi(page_value(b, "String(kvCanvasLog.times.length)").c_str()); };
  if (!poll_until([&] { return frames_now() > 100; }, 20000, 200)) return false;
  cpu_use before, after;
  chromium_cpu(b.pid, before);
  const int first = frames_now();
  page_value(b, "kvWakes.length = 0");
  if (!bridge_call(b, "profile start")) return false;
  pause_ms(4000);
  std::string own;
  if (!bridge_call(b, "profile stop", &own)) return false;
  chromium_cpu(b.pid, after);
  cost.frames = frames_now() - first;
  if (cost.frames <= 0) return false;
  std::istringstream lines(from_base64(own));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    double ms = 0;
    std::string name, file;
    fields >> ms;
    fields.ignore();
    std::getline(fields, name, '\t');
    std::getline(fields, file);
    if (double *into = share_of(cost, name, file)) *into += ms / cost.frames;
  }
  cost.compositing =
      (after.compositor - before.compositor + after.display - before.display) * 1000 / cost.frames;
  std::istringstream wakes(page_value(b, "kvWakes.join(' ')"));
  const std::vector<double> late((std::istream_iterator<double>(wakes)), std::istream_iterator<double>());
  cost.late_p50 = percentile_of(late, 50);
  cost.late_p99 = percentile_of(late, 99);
  return true;
}

void print_frame_cost(const frame_cost &a, const char *a_name, const frame_cost &b, const char *b_name) {
  std::printf("\nwhere a frame of the page goes, ms of CPU a frame (DevTools' profiler on)  %10s %10s\n",
              a_name, b_name);
  const auto row = [](const char *what, double x, double y) {
    std::printf("%-72s %10.3f %10.3f\n", what, x, y);
  };
  row("the game's own code in WebAssembly (drawing, rules, the library)", a.drawing, b.drawing);
  row("Asyncify's unwinding and rewinding, and the sleep's script", a.sleeping, b.sleeping);
  row("the timer's callbacks caught up", a.catching_up, b.catching_up);
  row("the picture converted to RGBA and put on the canvas", a.putting, b.putting);
  row("the page's own scripts (its layout, the touch controls)", a.page, b.page);
  row("the browser's own work on the page's thread (tasks, commits, GC)", a.browser, b.browser);
  row("compositing (the renderer's compositor, the GPU process's display compositor)", a.compositing,
      b.compositing);
  row("(the bench's own notes of the page's pictures and wake-ups)", a.noting, b.noting);
  row("how late the page's timers fire, p50 (ms)", a.late_p50, b.late_p50);
  row("how late the page's timers fire, p99 (ms)", a.late_p99, b.late_p99);
}
