#include "run/ending.h"

#include <cstdlib>
#include <string>

namespace tovel {

void RunEnding::write_out_quietly() {
  if (written_out_) return;
  written_out_ = true;
  for (PendingOutput* output : held_) {
    if (output != nullptr) output->write_out();
  }
}

void RunEnding::hold_pending_output(PendingOutput& output) {
  for (auto& slot : held_) {
    if (slot == nullptr) {
      slot = &output;
      return;
    }
  }
  std::abort();  // more outputs than the run ever has
}

void RunEnding::let_go_of_pending_output(PendingOutput& output) {
  for (auto& slot : held_) {
    if (slot == &output) slot = nullptr;
  }
}

std::optional<Failure> RunEnding::write_out_pending_output() {
  for (PendingOutput* output : held_) {
    if (output == nullptr) continue;
    if (auto failure = output->write_out()) return failure;
  }
  return std::nullopt;
}

void RunEnding::stop_if_interrupted() {
  const int signal = stop_signal_();
  if (signal == 0) return;
  write_out_quietly();
  std::string words =
      progress_ != nullptr ? progress_->what_the_files_hold() : "no table was opened";
  if (const std::string note = earlier_copy_note(); !note.empty()) words += "; " + note;
  tell("interrupted: " + words);
  throw RunEnded{.status = 128 + signal, .signal = signal};
}

void RunEnding::fail(const Failure& failure) {
  stop_if_interrupted();
  write_out_quietly();
  write_to_standard_error(report_text(failure));
  tell_of_earlier_copy();
  throw RunEnded{.status = kRunTimeError};
}

void RunEnding::end_run(int status) {
  fail_if(write_out_pending_output());
  if (status != kCompleteRun) tell_of_earlier_copy();
  throw RunEnded{.status = status};
}

std::string RunEnding::earlier_copy_note() const {
  return progress_ != nullptr ? progress_->earlier_copy_note() : "";
}

void RunEnding::tell_of_earlier_copy() const {
  if (const std::string note = earlier_copy_note(); !note.empty()) tell(note);
}

void RunEnding::refuse_command_line(std::string_view what) {
  write_to_standard_error("tovel: " + std::string(what) + "\n" + std::string(kTryHelp) + "\n");
  throw RunEnded{.status = kRunTimeError};
}

void RunEnding::refuse(std::string_view what) {
  tell(what);
  throw RunEnded{.status = kRunTimeError};
}

void RunEnding::give_back_read_ahead_input() {
  if (read_ahead_ != nullptr) read_ahead_->give_back_unread();
}

}  // namespace tovel
