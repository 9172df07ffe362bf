#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/line_taker.h"
#include "base/report.h"
#include "run/command_line.h"
#include "run/console.h"
#include "run/naming.h"

namespace tovel {

// The console dialogue: messages to standard output, answers from standard
// input, one line per answer. An answer that cannot be had is returned as
// the failure the run reports.
class Dialogue {
 public:
  Dialogue(Console& console, InputStream& keyboard) : console_(console), keyboard_(keyboard) {}

  Console& console() { return console_; }
  // Writes `text` as the end of a message or a prompt.
  void say(std::string_view text);

  // The field of the next line typed: at most `width` characters, a comma
  // ending it when `numeric`. Fails when no line is left or the input
  // cannot be read.
  std::optional<Failure> answer(std::size_t width, bool numeric, FieldText& field);
  // An I5 integer field typed on the next line.
  std::optional<Failure> integer_answer(int& value);

 private:
  Console& console_;
  InputStream& keyboard_;
};

// The file count `k`: from the second argument when there is one, else asked
// for until a count from 2 to 9999 is typed. An argument outside that range
// is refused with a message, and the count is then asked for.
std::optional<Failure> obtain_file_count(const CommandLine& line, Dialogue& dialogue, int& k);

}  // namespace tovel
