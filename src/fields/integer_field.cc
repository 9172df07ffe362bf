#include "fields/integer_field.h"

#include "base/byte_class.h"

namespace tovel {

std::optional<int32_t> decode_integer_field(std::string_view field) {
  field = field.substr(0, kIntegerFieldWidth);
  std::size_t i = 0;
  while (i < field.size() && in_class(field[i], kBlank))
    ++i;
  if (i == field.size()) return 0;
  bool negative = false;
  if (in_class(field[i], kSign)) {
    negative = field[i] == '-';
    if (++i == field.size()) return std::nullopt;  // a sign with nothing after it
  }
  int32_t value = 0;
  for (; i < field.size(); ++i) {
    const char c = field[i];
    if (in_class(c, kBlank)) continue;
    if (!in_class(c, kDigit)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

}  // namespace tovel
