// Starting the game as a player would: its own process, its own folder,
// the test's X server, and its output kept for the test to read.
#include "xharness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {

const char *const stdout_file = "game-stdout.txt";
const char *const stderr_file = "game-stderr.txt";

void redirect_to(const std::string &path, int fd) {
  int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file < 0) return;
  dup2(file, fd);
  close(file);
}

// Never returns: becomes the game or exits 127.
void exec_game(const std::string &binary, const work_folder &folder, const xvfb_server &server,
               const std::vector<std::string> &args, const std::vector<std::string> &env, pid_t runner) {
  // A game left running by a killed runner would hold its X server open.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != runner) _exit(127);
  if (chdir(folder.path.c_str()) != 0) _exit(127);
  setenv("DISPLAY", server.name.c_str(), 1);
  for (const std::string &e : env) putenv(const_cast<char *>(e.c_str()));
  int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd >= 0) dup2(null_fd, 0);
  redirect_to(work_path(folder, stdout_file), 1);
  redirect_to(work_path(folder, stderr_file), 2);
  std::vector<std::string> command = {binary};
  command.insert(command.end(), args.begin(), args.end());
  if (testing_windows_game()) {
    command = windows_command(work_path(folder, "krove-vestin.exe"), args);
    for (const std::string &e : wine_environment()) putenv(const_cast<char *>(e.c_str()));
  }
  std::vector<char *> argv;
  for (const std::string &a : command) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

exit_result decode_status(int status) {
  exit_result r;
  r.exited = true;
  if (WIFEXITED(status)) r.code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  return r;
}

// Reaps the game if it has ended; true once it has.
bool reap_game(game_process &game) {
  if (game.reaped) return true;
  if (game.pid <= 0) return false;
  int status;
  if (waitpid(game.pid, &status, WNOHANG) != game.pid) return false;
  game.reaped = true;
  game.result = decode_status(status);
  return true;
}

}  // namespace

std::string game_binary_path() {
  const char *env = std::getenv("KV_GAME_BINARY");
  if (env && *env) return env;
#ifdef KV_GAME_BINARY
  return KV_GAME_BINARY;
#else
  return "";
#endif
}

bool start_game(game_process &game, const std::string &binary, const work_folder &folder,
                const xvfb_server &server, const std::vector<std::string> &args,
                const std::vector<std::string> &env) {
  if (access(binary.c_str(), X_OK) != 0) return false;
  const pid_t runner = getpid();
  game.pid = fork();
  if (game.pid < 0) return false;
  if (game.pid == 0) exec_game(binary, folder, server, args, env, runner);
  game.reaped = false;
  game.result = exit_result();
  return true;
}

exit_result wait_for_exit(game_process &game, int timeout_ms) {
  if (poll_until([&] { return reap_game(game); }, timeout_ms, 2)) return game.result;
  return exit_result();
}

bool game_running(game_process &game) { return game.pid > 0 && !reap_game(game); }

void kill_game(game_process &game) {
  if (game_running(game)) {
    kill(game.pid, SIGKILL);
    int status;
    if (waitpid(game.pid, &status, 0) == game.pid) {
      game.reaped = true;
      game.result = decode_status(status);
    }
  }
}

game_process::~game_process() { kill_game(*this); }

std::string read_game_stdout(const work_folder &folder) {
  return read_work_file(folder, stdout_file);
}

std::string read_game_stderr(const work_folder &folder) {
  return read_work_file(folder, stderr_file);
}

std::string read_game_lines(const work_folder &folder) {
  std::string all = read_game_stderr(folder), own;
  for (size_t at = 0, end; at < all.size(); at = end + 1) {
    end = all.find('\n', at);
    if (end == std::string::npos) end = all.size();
    if (all.compare(at, 13, "krove-vestin:") == 0) own += all.substr(at, end - at) + "\n";
  }
  return own;
}
