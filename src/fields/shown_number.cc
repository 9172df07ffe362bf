#include "fields/shown_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/fixed_text.h"
#include "fields/real_field.h"

namespace tovel {
namespace {

// The fixed form of a field of up to this many digits is already the
// shortest decimal of its value: distinct decimals of so few digits are
// distinct floats, and no exponent form of them is shorter.
constexpr std::size_t kShortestFixedWidth = 5 + 10;
// The fixed form is followed by four blanks, which no other form ends in.
constexpr std::size_t kFixedTail = 4;

std::size_t with_decimal_mark(char* out, std::size_t size, char decimal_mark) {
  if (decimal_mark != '.') {
    if (char* point = static_cast<char*>(std::memchr(out, '.', size))) *point = decimal_mark;
  }
  return size;
}

// The fixed form's text less its leading blanks, and less the zeros that
// end its decimals and a point left last.
std::size_t write_fixed_form(std::string_view field, char decimal_mark, char* out) {
  std::string_view text = field.substr(0, field.size() - kFixedTail);
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  if (text.find('.') != std::string_view::npos) {
    text.remove_suffix(text.size() - 1 - text.find_last_not_of('0'));
    if (text.ends_with('.')) text.remove_suffix(1);
  }
  text.copy(out, text.size());
  return with_decimal_mark(out, text.size(), decimal_mark);
}

std::size_t write_value(float value, char decimal_mark, char* out) {
  std::string_view word;
  if (std::isnan(value)) word = "NaN";
  if (std::isinf(value)) word = value > 0 ? "Inf" : "-Inf";
  if (!word.empty()) return word.copy(out, word.size());
  const std::to_chars_result result = std::to_chars(out, out + kLongestShownNumber, value);
  return with_decimal_mark(out, static_cast<std::size_t>(result.ptr - out), decimal_mark);
}

}  // namespace

std::size_t write_shown_number(std::string_view field, char decimal_mark, char* out) {
  if (field.size() <= kShortestFixedWidth && field.ends_with("    ")) {
    return write_fixed_form(field, decimal_mark, out);
  }
  std::string_view text = trim_trailing_blanks(field);
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  const std::optional<Binary32> value = decode_real_value(text);
  if (!value) return 0;
  // At four digits the largest floats show as 0.3403E+39, beyond the
  // largest float: the nearest finite value is the one they show.
  const float finite = value->out_of_range == OutOfRange::too_large
                           ? std::copysign(std::numeric_limits<float>::max(), value->value)
                           : value->value;
  return write_value(finite, decimal_mark, out);
}

}  // namespace tovel
