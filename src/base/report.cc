#include "base/report.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>

#include "base/buffered_writer.h"
#include "base/signals.h"

namespace tovel {
namespace {

std::array<PendingOutput*, 4> held{};
InputStream* read_ahead = nullptr;
bool reporting = false;

// What every ending does last: the input read ahead goes back.
[[noreturn]] void exit_with(int status) {
  if (read_ahead != nullptr) read_ahead->give_back_unread();
  std::_Exit(status);
}

void append_escaped(std::string& line, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  line += "\\x";
  line += kHex[byte >> 4];
  line += kHex[byte & 0xF];
}

// The field as a person can read it: quoted, with control and non-ASCII
// bytes shown as \xHH.
void append_quoted(std::string& line, std::string_view field) {
  line += '"';
  for (const char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      append_escaped(line, byte);
    } else {
      line += c;
    }
  }
  line += '"';
}

void write_to_standard_error(std::string_view text) {
  DescriptorSink standard_error(STDERR_FILENO);
  write_fully(standard_error, text);
}

}  // namespace

std::string shown_name(std::string_view name) {
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      append_escaped(shown, byte);
    } else {
      shown += c;
    }
  }
  return shown;
}

void tell(std::string_view text) {
  write_to_standard_error("tovel: " + std::string(text) + "\n");
}

void warn(std::string_view text) {
  tell("warning: " + std::string(text));
}

std::string hint_line(std::string_view words) {
  return "tovel: hint: " + std::string(words);
}

void hint(std::string_view words) {
  write_to_standard_error(hint_line(words) + "\n");
}

void refuse_command_line(std::string_view what) {
  write_to_standard_error("tovel: " + std::string(what) + "\n" + std::string(kTryHelp) + "\n");
  exit_with(2);
}

void hold_pending_output(PendingOutput& output) {
  for (auto& slot : held) {
    if (slot == nullptr) {
      slot = &output;
      return;
    }
  }
  std::abort();  // more outputs than the run ever has
}

void hold_read_ahead_input(InputStream& input) {
  read_ahead = &input;
}

void release_pending_output(PendingOutput& output) {
  for (auto& slot : held) {
    if (slot == &output) slot = nullptr;
  }
}

void report_runtime_error(const Failure& failure) {
  if (!reporting) {
    reporting = true;  // a write failing below must not start a second report
    for (PendingOutput* output : held) {
      if (output != nullptr) output->write_out();
    }
  }
  std::string text = "tovel: " + shown_name(failure.file);
  if (failure.line > 0) text += ':' + std::to_string(failure.line);
  text += ": " + failure.what;
  if (failure.quote_field) {
    text += ' ';
    append_quoted(text, failure.field);
  }
  text += '\n';
  text += kMessagePrefix;
  text += failure.message;
  text += '\n';
  if (!failure.hint.empty()) text += failure.hint + '\n';
  write_to_standard_error(text);
  exit_with(2);
}

void write_out_pending_output() {
  for (PendingOutput* output : held) {
    if (output != nullptr && !output->write_out()) report_runtime_error(output->write_failure());
  }
}

void end_run(int status) {
  write_out_pending_output();
  exit_with(status);
}

void end_interrupted(int signal, std::string_view text) {
  reporting = true;
  for (PendingOutput* output : held) {
    if (output != nullptr) output->write_out();
  }
  tell("interrupted: " + std::string(text));
  if (read_ahead != nullptr) read_ahead->give_back_unread();
  end_by_signal(signal);
}

}  // namespace tovel
