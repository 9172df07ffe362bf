#include "run/value_hints.h"

#include <string>
#include <string_view>

#include "base/byte_class.h"

namespace tovel {
namespace {

// Whether `mark` stands in `text` between two digits, or, with
// `one_digit_enough`, next to one.
bool beside_digits(std::string_view text, char mark, bool one_digit_enough) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != mark) continue;
    const bool before = i > 0 && in_class(text[i - 1], kDigit);
    const bool after = i + 1 < text.size() && in_class(text[i + 1], kDigit);
    if (before && after) return true;
    if (one_digit_enough && (before || after)) return true;
  }
  return false;
}

// A refused first line that reads as a header: the lines that do, and the
// --skip that passes over them.
std::string header_words(const Failure& failure, const FilePoints& points) {
  const std::string at = shown_name(failure.file) + ":" + std::to_string(failure.line);
  if (points.last_header_line <= failure.line) {
    return at + " looks like a header line; --skip " + std::to_string(failure.line) + " skips it";
  }
  const std::string last = std::to_string(points.last_header_line);
  return at + " to " + last + " look like header lines; --skip " + last + " skips them";
}

void add_hint(std::string& hints, std::string_view words) {
  if (!hints.empty()) hints += '\n';
  hints += hint_line(words);
}

}  // namespace

Failure with_value_hints(Failure failure, const FilePoints& points, const LineRules& rules) {
  if (!failure.field) return failure;
  const std::string_view field = *failure.field;
  std::string& hints = failure.hint;
  if (points.header_like) add_hint(hints, header_words(failure, points));
  if (field.starts_with('"')) {
    add_hint(hints,
             "values in double quotes are not read; --columns can pass over a quoted first "
             "column, and R's write.table(..., quote = FALSE, row.names = FALSE) writes a file "
             "that reads");
  }
  if (!rules.decimal_comma && beside_digits(field, ';', false)) {
    add_hint(hints, "semicolons separate the values of " + shown_name(failure.file) +
                        "; for decimal commas give --decimal-comma");
  }
  if (rules.decimal_comma && beside_digits(field, '.', true)) {
    add_hint(hints, shown_name(failure.file) + " has decimal points; without --decimal-comma " +
                        "they are read");
  }
  return failure;
}

}  // namespace tovel
