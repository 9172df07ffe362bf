#include "run/ending.h"

#include <array>
#include <cstdlib>
#include <string>

#include "base/signals.h"

namespace tovel {
namespace {

std::array<PendingOutput*, 4> held{};
InputStream* read_ahead = nullptr;
const RunProgress* progress = nullptr;
bool reporting = false;

// What every ending does last: the input read ahead goes back.
[[noreturn]] void exit_with(int status) {
  if (read_ahead != nullptr) read_ahead->give_back_unread();
  std::_Exit(status);
}

// Writes out what can be written out, once: a report of a failure that
// arises meanwhile must not start a second report.
void write_out_quietly() {
  if (reporting) return;
  reporting = true;
  for (PendingOutput* output : held) {
    if (output != nullptr) output->write_out();
  }
}

}  // namespace

void hold_pending_output(PendingOutput& output) {
  for (auto& slot : held) {
    if (slot == nullptr) {
      slot = &output;
      return;
    }
  }
  std::abort();  // more outputs than the run ever has
}

void release_pending_output(PendingOutput& output) {
  for (auto& slot : held) {
    if (slot == &output) slot = nullptr;
  }
}

void hold_read_ahead_input(InputStream& input) {
  read_ahead = &input;
}

void watch_progress(const RunProgress& run) {
  progress = &run;
}

std::optional<Failure> write_out_pending_output() {
  for (PendingOutput* output : held) {
    if (output == nullptr) continue;
    if (auto failure = output->write_out()) return failure;
  }
  return std::nullopt;
}

void stop_if_interrupted() {
  const int signal = caught_stop_signal();
  if (signal == 0) return;
  write_out_quietly();
  tell("interrupted: " + (progress != nullptr ? progress->what_the_files_hold()
                                              : std::string("no table was opened")));
  if (read_ahead != nullptr) read_ahead->give_back_unread();
  end_by_signal(signal);
}

void fail(const Failure& failure) {
  stop_if_interrupted();
  write_out_quietly();
  write_to_standard_error(report_text(failure));
  exit_with(2);
}

void fail_if(const std::optional<Failure>& failure) {
  if (failure) fail(*failure);
}

void end_run(int status) {
  fail_if(write_out_pending_output());
  exit_with(status);
}

void refuse_command_line(std::string_view what) {
  write_to_standard_error("tovel: " + std::string(what) + "\n" + std::string(kTryHelp) + "\n");
  exit_with(2);
}

}  // namespace tovel
