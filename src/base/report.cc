#include "base/report.h"

#include <algorithm>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "base/buffered_writer.h"

namespace tovel {
namespace {

void append_escaped(std::string& line, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  line += "\\x";
  line += kHex[byte >> 4];
  line += kHex[byte & 0xF];
}

bool is_control(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

// Appends `text` with each byte that `escaped` picks shown as \xHH.
template <typename Pick>
void append_shown(std::string& line, std::string_view text, Pick escaped) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (escaped(byte)) {
      append_escaped(line, byte);
    } else {
      line += c;
    }
  }
}

// The field as a person can read it: quoted, with control and non-ASCII
// bytes, and the quote and backslash, shown as \xHH.
void append_quoted(std::string& line, std::string_view field) {
  line += '"';
  append_shown(line, field, [](unsigned char byte) {
    return is_control(byte) || byte >= 0x80 || byte == '"' || byte == '\\';
  });
  line += '"';
}

}  // namespace

const char* error_text(int error) {
  const char* text = ::strerrordesc_np(error);
  return text != nullptr ? text : "Unknown error";
}

Failure open_failure(std::string_view name, std::string_view kind, int error,
                     std::string_view reason) {
  const std::string why = reason.empty() ? error_text(error) : std::string(reason);
  return {.file = std::string(name),
          .what = "cannot open the " + std::string(kind) + " file",
          .message = "Cannot open file '" + shown_name(name) + "': " + why,
          .error_number = error,
          .kind = error == ENOENT ? FailureKind::missing_file : FailureKind::system};
}

Failure write_failure(std::string_view name, std::string_view what, int error,
                      std::string_view message) {
  return {.file = std::string(name),
          .what = std::string(what),
          .message = message.empty() ? error_text(error) : std::string(message),
          .error_number = error};
}

std::string report_text(const Failure& failure) {
  std::string text = "tovel: " + shown_name(failure.file);
  if (failure.line > 0) text += ':' + std::to_string(failure.line);
  text += ": " + failure.what;
  if (failure.field) {
    text += ' ';
    append_quoted(text, *failure.field);
  }
  text += '\n';
  text += kMessagePrefix;
  text += failure.message;
  text += '\n';
  if (!failure.hint.empty()) text += failure.hint + '\n';
  return text;
}

std::string shown_name(std::string_view name) {
  std::string shown;
  append_shown(shown, name, is_control);
  return shown;
}

bool holds_control_bytes(std::string_view name) {
  return std::any_of(name.begin(), name.end(),
                     [](char c) { return is_control(static_cast<unsigned char>(c)); });
}

void write_to_standard_error(std::string_view text) {
  DescriptorSink standard_error(STDERR_FILENO);
  write_fully(standard_error, text);
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

}  // namespace tovel
