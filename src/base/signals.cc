#include "base/signals.h"

#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <initializer_list>

namespace tovel {
namespace {

// Lock-free, so that the handler may set it, and atomic, so that the run's
// threads see it.
std::atomic<int> caught_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void record_stop_signal(int signal) {
  int none = 0;
  caught_signal.compare_exchange_strong(none, signal);
}

// The signals the run catches: the stop signals, SIGPIPE and SIGXFSZ.
constexpr int kCaughtSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};

extern "C" void ignore_signal(int) {}

// Installs `handler` for `signal`, unless the signal was ignored at start.
void catch_signal(int signal, void (*handler)(int), int flags) {
  struct sigaction action {};
  if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) return;
  action = {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

void catch_signals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    catch_signal(signal, record_stop_signal, 0);
  catch_signal(SIGPIPE, ignore_signal, SA_RESTART);
  // A write past the file size limit (ulimit -f) then fails with EFBIG and
  // is reported as a full disk is, where the signal would end the run
  // without a word.
  catch_signal(SIGXFSZ, ignore_signal, SA_RESTART);
}

int caught_stop_signal() {
  return caught_signal.load();
}

SignalsBlocked::SignalsBlocked() {
  sigset_t blocked;
  sigemptyset(&blocked);
  for (const int signal : kCaughtSignals)
    sigaddset(&blocked, signal);
  ::pthread_sigmask(SIG_BLOCK, &blocked, &saved_);
}

SignalsBlocked::~SignalsBlocked() {
  ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

void end_by_signal(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);  // in the thread that raises it
  ::raise(signal);
  std::_Exit(128 + signal);  // only if the signal did not end the process
}

}  // namespace tovel
