#include "base/signals.h"

#include <signal.h>

#include <cstdlib>
#include <initializer_list>

namespace tovel {
namespace {

volatile sig_atomic_t caught_signal = 0;

extern "C" void record_stop_signal(int signal) {
  if (caught_signal == 0) caught_signal = signal;
}

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
}

int caught_stop_signal() {
  return caught_signal;
}

void end_by_signal(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  std::_Exit(128 + signal);  // only if the signal did not end the process
}

}  // namespace tovel
