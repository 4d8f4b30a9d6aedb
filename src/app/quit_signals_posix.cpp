#include "app/quit_signals.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>

#include "core/state.h"

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler may only store to lock-free atomics");

static const int quit_signals[3] = {SIGTERM, SIGHUP, SIGINT};

// quit_game only stores to lock-free atomics, which a handler may do. The
// frame under way finishes and the quit sequence runs; a second signal just
// asks again.
static void on_quit_signal(int) { quit_game(); }

void install_quit_signals() {
  struct sigaction action = {};
  action.sa_handler = on_quit_signal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int s : quit_signals) sigaction(s, &action, nullptr);
}

// The library's shutdown at exit puts its own handlers back, which end the
// process at once; by then only this thread is left, and it lets none in.
void hold_quit_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : quit_signals) sigaddset(&set, s);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}
