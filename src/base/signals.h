#pragma once

#include <signal.h>

namespace tovel {

// The signals that ask a run to stop early, SIGINT, SIGTERM and SIGHUP, are
// caught and only recorded: the run looks at the record where it can stop
// with its output written out, says what the table holds, and then ends by
// the same signal. A signal that was ignored when the program started (as
// nohup ignores SIGHUP) stays ignored. Blocking reads and waits are not
// restarted after one of them, so a run waiting at a prompt or on a data
// file that never ends hears it.
//
// SIGPIPE is caught and does nothing, so a write to a pipe whose reader went
// away fails with EPIPE and is reported, while every command the run starts
// gets the usual SIGPIPE behaviour, since exec restores it. SIGXFSZ is
// caught so too: a write past the file size limit fails with EFBIG and is
// reported, as a full disk is.
void catch_signals();

// The stop signal caught so far, or 0.
int caught_stop_signal();

// While one lives, the caught signals are blocked in the calling thread, so
// that a thread started meanwhile never takes them: they stay with the run's
// own thread, whose waits they interrupt.
class SignalsBlocked {
 public:
  SignalsBlocked();
  ~SignalsBlocked();
  SignalsBlocked(const SignalsBlocked&) = delete;
  SignalsBlocked& operator=(const SignalsBlocked&) = delete;

 private:
  sigset_t saved_;  // the thread's signal mask before
};

// Ends the process by `signal`, as if it had never been caught.
[[noreturn]] void end_by_signal(int signal);

}  // namespace tovel
