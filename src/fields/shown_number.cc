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

std::size_t with_decimal_mark(char* out, std::size_t size, char decimal_mark) {
  if (decimal_mark != '.') {
    if (char* point = static_cast<char*>(std::memchr(out, '.', size))) *point = decimal_mark;
  }
  return size;
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

std::size_t write_shown_number_in_general(std::string_view field, char decimal_mark, char* out) {
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

void append_shown_numbers(std::string_view cells, std::size_t field_width, char separator,
                          char decimal_mark, std::string& out) {
  const std::size_t count = cells.size() / (field_width + 1);
  const std::size_t begin = out.size();
  out.resize(begin + count * (kLongestShownNumber + 1));
  char* at = out.data() + begin;
  for (std::size_t j = 0; j < count; ++j) {
    *at++ = separator;
    at += write_shown_number(cells.substr(j * (field_width + 1), field_width), decimal_mark, at);
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
}

}  // namespace tovel
