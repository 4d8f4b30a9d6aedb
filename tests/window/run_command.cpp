// Any program as a child of the test, in a folder and an environment of the
// test's choosing: an install step, or the game through its launcher.
#include "xharness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>

namespace {

void redirect(const std::string &path, int fd) {
  int file = open(path.empty() ? "/dev/null" : path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file < 0) return;
  dup2(file, fd);
  close(file);
}

// "NAME=value" sets NAME, a bare "NAME" removes it.
void apply_environment(const std::vector<std::string> &env) {
  for (const std::string &e : env) {
    const size_t eq = e.find('=');
    if (eq == std::string::npos)
      unsetenv(e.c_str());
    else
      setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
  }
}

}  // namespace

bool start_command(game_process &process, const std::vector<std::string> &argv,
                   const std::string &cwd, const std::vector<std::string> &env,
                   const std::string &out_path, const std::string &err_path) {
  if (argv.empty()) return false;
  const pid_t runner = getpid();
  process.pid = fork();
  if (process.pid < 0) return false;
  if (process.pid == 0) {
    // Dies with the runner, like the game, so nothing outlives a killed test.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != runner) _exit(127);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    apply_environment(env);
    int null_fd = open("/dev/null", O_RDONLY);
    if (null_fd >= 0) dup2(null_fd, 0);
    redirect(out_path, 1);
    redirect(err_path, 2);
    std::vector<char *> args;
    for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  process.reaped = false;
  process.result = exit_result();
  return true;
}
