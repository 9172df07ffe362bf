#include "fields/integer_field.h"

namespace tovel {

IntegerFieldResult decode_integer_field(std::string_view field) {
  constexpr IntegerFieldResult kBadValue{0, false};
  field = field.substr(0, kIntegerFieldWidth);
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ')
    ++i;
  if (i == field.size()) return {0, true};
  bool negative = false;
  if (field[i] == '+' || field[i] == '-') {
    negative = field[i] == '-';
    if (++i == field.size()) return kBadValue;  // a sign with nothing after it
  }
  int32_t value = 0;
  for (; i < field.size(); ++i) {
    const char c = field[i];
    if (c == ' ') continue;
    if (c < '0' || c > '9') return kBadValue;
    value = value * 10 + (c - '0');
  }
  return {negative ? -value : value, true};
}

}  // namespace tovel
