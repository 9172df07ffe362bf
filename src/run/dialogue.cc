#include "run/dialogue.h"

#include <string>

#include "base/fixed_text.h"
#include "fields/integer_field.h"

namespace tovel {
namespace {

bool acceptable_count(int k) {
  return k >= kMinFiles && k <= kMaxFiles;
}

Failure bad_integer(std::string_view where, long line, std::string_view field) {
  return {.file = std::string(where),
          .line = line,
          .what = "cannot read an integer from",
          .field = std::string(field),
          .message = "Bad value during integer read",
          .kind = FailureKind::bad_value};
}

}  // namespace

void Dialogue::say(std::string_view text) {
  console_.write(text);
  console_.end_message();
}

std::optional<Failure> Dialogue::answer(std::size_t width, bool numeric, FieldText& field) {
  const TakeStatus status = take_line(keyboard_, width, numeric, field);
  const long line = keyboard_.lines_taken() + 1;
  if (status == TakeStatus::end_of_input) {
    return Failure{.file = "standard input",
                   .line = line,
                   .what = "no line left to read",
                   .message = "End of file",
                   .kind = FailureKind::end_of_input};
  }
  if (status == TakeStatus::failed) {
    return Failure{.file = "standard input",
                   .line = line,
                   .what = "cannot read",
                   .message = std::string(keyboard_.failure_text())};
  }
  return std::nullopt;
}

std::optional<Failure> Dialogue::integer_answer(int& value) {
  FieldText field;
  if (auto failure = answer(kIntegerFieldWidth, true, field)) return failure;
  const std::optional<int32_t> typed = decode_integer_field(field.view());
  if (!typed) return bad_integer("standard input", keyboard_.lines_taken(), field.view());
  value = *typed;
  return std::nullopt;
}

std::optional<Failure> obtain_file_count(const CommandLine& line, Dialogue& dialogue, int& k) {
  if (line.operands.size() > 1) {
    const FixedText<40> count_text(line.operands[1]);
    const std::string_view field = take_stored_field(count_text.full(), kIntegerFieldWidth);
    const std::optional<int32_t> given = decode_integer_field(field);
    if (!given) {
      Failure failure = bad_integer("argument 2", 0, field);
      failure.hint = kTryHelp;
      return failure;
    }
    k = *given;
    if (acceptable_count(k)) return std::nullopt;
    dialogue.say("\nThe number of DAT files must be from " + std::to_string(kMinFiles) + " to " +
                 std::to_string(kMaxFiles) + "\n");
  }
  for (;;) {
    dialogue.say("\nEnter the number of DAT files ");
    if (auto failure = dialogue.integer_answer(k)) return failure;
    if (acceptable_count(k)) return std::nullopt;
  }
}

}  // namespace tovel
