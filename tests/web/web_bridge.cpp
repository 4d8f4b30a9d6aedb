#include "web_bridge.h"

#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

namespace {

// A page load or a browser start on a busy machine takes seconds, never a minute.
const int answer_timeout_ms = 60000;

const char *env_or(const char *name, const char *fallback) {
  const char *v = std::getenv(name);
  return v && *v ? v : fallback;
}

// The next line from the bridge, without its newline; false on timeout or
// when the bridge has gone.
bool read_line(web_bridge &b, std::string &line) {
  const long long deadline = now_ms() + answer_timeout_ms;
  for (;;) {
    const size_t end = b.pending.find('\n');
    if (end != std::string::npos) {
      line = b.pending.substr(0, end);
      b.pending.erase(0, end + 1);
      return true;
    }
    pollfd p{b.from, POLLIN, 0};
    const int left = static_cast<int>(deadline - now_ms());
    if (left <= 0 || poll(&p, 1, left) <= 0) return false;
    char chunk[65536];
    const ssize_t n = read(b.from, chunk, sizeof chunk);
    if (n <= 0) return false;
    b.pending.append(chunk, static_cast<size_t>(n));
  }
}

}  // namespace

web_bridge::~web_bridge() { stop_bridge(*this); }

std::string game_folder() { return env_or("KV_WEB_STAGE_DIR", KV_WEB_STAGE_DIR); }

bool start_bridge(web_bridge &b, std::string &why) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return why = "no pipe", false;
  const std::string stage = game_folder();
  b.pid = fork();
  if (b.pid == 0) {
    setpgid(0, 0);  // the bridge and every browser process it starts: one group to end
    dup2(in[0], 0);
    dup2(out[1], 1);
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    execl(KV_NODE, KV_NODE, KV_WEB_BRIDGE_JS, KV_WEB_MODULES, stage.c_str(), "/arcade/krove-vestin/",
          KV_CHROMIUM, KV_FIREFOX, KV_WEBKIT_DRIVER, KV_MINIBROWSER, static_cast<char *>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  b.to = in[1];
  b.from = out[0];
  if (b.pid < 0) return why = "no fork", false;
  std::string line;
  if (!read_line(b, line) || line.rfind("ok ", 0) != 0)
    return why = "the bridge did not start (" + line + "); game folder " + stage, false;
  b.base_url = line.substr(3);
  return true;
}

void stop_bridge(web_bridge &b) {
  if (b.pid <= 0) return;
  std::string ignored;
  bridge_call(b, "quit", &ignored);
  close(b.to);
  // A browser closes within a second or two; past that the bridge is
  // killed. Whatever of its browsers is left goes with its group.
  int status = 0;
  if (!poll_until([&] { return waitpid(b.pid, &status, WNOHANG) == b.pid; }, 5000, 20)) {
    kill(b.pid, SIGKILL);
    waitpid(b.pid, &status, 0);
  }
  kill(-b.pid, SIGKILL);
  close(b.from);
  b.pid = -1;
}

bool bridge_call(web_bridge &b, const std::string &command, std::string *reply) {
  const std::string line = command + "\n";
  if (b.pid <= 0 || write(b.to, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
    return false;
  std::string answer;
  if (!read_line(b, answer)) {
    if (reply) *reply = "no answer to " + command;
    return false;
  }
  const bool ok = answer.rfind("ok", 0) == 0;
  if (reply) *reply = answer.size() > 3 ? answer.substr(ok ? 3 : 5) : "";
  if (!ok && !reply) std::cerr << "bridge: " << command.substr(0, 80) << ": " << answer << "\n";
  return ok;
}

std::string page_value(web_bridge &b, const std::string &expression) {
  std::string reply, line = expression;
  std::replace(line.begin(), line.end(), '\n', ' ');  // one command, one line
  if (!bridge_call(b, "eval " + line, &reply)) return "(failed: " + reply + ")";
  return from_base64(reply);
}

bool bridge_picture(web_bridge &b, const std::string &command, rgb_image &image) {
  std::string reply, data;
  size_t channels = 0;
  if (!bridge_call(b, command, &reply)) return false;
  std::istringstream words(reply);
  if (!(words >> image.width >> image.height >> channels >> data) || channels < 3) return false;
  const std::string bytes = from_base64(data);
  const size_t pixels = static_cast<size_t>(image.width) * image.height;
  if (bytes.size() != pixels * channels) return false;
  image.rgb.resize(pixels * 3);
  for (size_t p = 0; p < pixels; ++p)
    bytes.copy(reinterpret_cast<char *>(&image.rgb[p * 3]), 3, p * channels);
  return true;
}

namespace {
const char base64_digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string from_base64(const std::string &text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  unsigned v = 0;
  int bits = 0;
  for (char c : text) {
    const char *at = c ? std::strchr(base64_digits, c) : nullptr;
    if (!at) continue;  // padding
    v = (v << 6) | static_cast<unsigned>(at - base64_digits);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((v >> bits) & 255);
    }
  }
  return out;
}

std::string key_code(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z)
    return std::string("Key") + static_cast<char>('A' + keysym - XK_a);
  if (keysym >= XK_0 && keysym <= XK_9)
    return std::string("Digit") + static_cast<char>('0' + keysym - XK_0);
  if (keysym >= XK_F1 && keysym <= XK_F12) return "F" + std::to_string(keysym - XK_F1 + 1);
  switch (keysym) {
    case XK_space:
      return "Space";
    case XK_Escape:
      return "Escape";
    case XK_Return:
      return "Enter";
    case XK_Left:
      return "ArrowLeft";
    case XK_Right:
      return "ArrowRight";
    case XK_Up:
      return "ArrowUp";
    case XK_Down:
      return "ArrowDown";
    case XK_Alt_L:
      return "AltLeft";
    default:
      return "";
  }
}

std::string control_name(unsigned long keysym) {
  switch (keysym) {
    case XK_Left:
      return "Left";
    case XK_Right:
      return "Right";
    case XK_Up:
      return "Up";
    case XK_Down:
      return "Down";
    case XK_space:
      return "Fire";
    case XK_1:
      return "Pause";
    case XK_Escape:
      return "Back";
    default:
      return "";
  }
}

int pad_button(unsigned long keysym) {
  switch (keysym) {
    case XK_space:
      return 0;
    case XK_Escape:
      return 1;
    case XK_1:
      return 9;
    case XK_Up:
      return 12;
    case XK_Down:
      return 13;
    case XK_Left:
      return 14;
    case XK_Right:
      return 15;
    default:
      return -1;
  }
}

bool web_game::press(unsigned long keysym, bool down) {
  if (input == web_input::pad) {
    const int button = pad_button(keysym);
    return button >= 0 && page_value(b, "kvStandInPads.press(0, " + std::to_string(button) + ", " +
                                            (down ? "true" : "false") + ")") == "";
  }
  const std::string name = input == web_input::touch ? control_name(keysym) : key_code(keysym);
  const char *verb = input == web_input::touch ? (down ? "touch " : "lift ") : (down ? "down " : "up ");
  return !name.empty() && bridge_call(b, verb + name);
}
