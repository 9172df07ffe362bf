#include "run/report.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tovel {
namespace {

std::array<PendingOutput*, 4> held{};
bool reporting = false;

void write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

// The field as a person can read it: quoted, with control and non-ASCII
// bytes shown as \xHH.
void append_quoted(std::string& line, std::string_view field) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  line += '"';
  for (const char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 0xF];
    } else {
      line += c;
    }
  }
  line += '"';
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

void report_runtime_error(const FailureSite& site, std::string_view message) {
  if (!reporting) {
    reporting = true;  // a write failing below must not start a second report
    for (PendingOutput* output : held) {
      if (output != nullptr) output->write_out();
    }
  }
  std::string text = "tovel: ";
  text += site.file;
  if (site.line > 0) {
    text += ':';
    text += std::to_string(site.line);
  }
  text += ": ";
  text += site.what;
  if (site.quote_field) {
    text += ' ';
    append_quoted(text, site.field);
  }
  text += '\n';
  text += kMessagePrefix;
  text += message;
  text += '\n';
  write_all(STDERR_FILENO, text);
  std::_Exit(2);
}

void write_out_pending_output() {
  for (PendingOutput* output : held) {
    if (output != nullptr && !output->write_out()) {
      report_runtime_error(output->failure_site(), std::strerror(errno));
    }
  }
}

void end_run(int status) {
  write_out_pending_output();
  std::_Exit(status);
}

}  // namespace tovel
