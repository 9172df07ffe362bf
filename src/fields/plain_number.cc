#include "fields/plain_number.h"

#include "fields/byte_word.h"

namespace tovel {
namespace {

// Reads [sign]1 to 4 digits after an exponent letter; nullptr when there are
// none or more than four.
const char* scan_exponent(const char* p, int& exponent) {
  const bool negative = *p == '-';
  p += (*p == '-') | (*p == '+');
  const int count = bytes_before_mark(bytes_not_digit(load_word(p)));
  if (count == 0 || count > 4) return nullptr;
  exponent = static_cast<int>(digits_value(load_word(p), count));
  if (negative) exponent = -exponent;
  return p + count;
}

}  // namespace

const char* scan_plain_number(const char* first, const char* last, PlainDecimal& number) {
  const char* p = first;
  // The digit value of *at, or a value above 9 at the end or for a non-digit.
  const auto digit_at = [last](const char* at) -> unsigned {
    return at == last ? 10u : static_cast<unsigned>(static_cast<unsigned char>(*at) - '0');
  };
  number.negative = false;
  if (p != last && (*p == '-' || *p == '+')) number.negative = *p++ == '-';
  uint64_t digits = 0;
  const char* const mantissa_start = p;
  // At most 19 digits cannot overflow; longer runs are left to the full rules.
  for (unsigned d; (d = digit_at(p)) <= 9; ++p)
    digits = digits * 10 + d;
  int fraction_digits = 0;
  if (p != last && *p == '.') {
    const char* const fraction_start = ++p;
    for (unsigned d; (d = digit_at(p)) <= 9; ++p)
      digits = digits * 10 + d;
    fraction_digits = static_cast<int>(p - fraction_start);
    if (p - mantissa_start == 1) return nullptr;  // a point without digits
  } else if (p == mantissa_start) {
    return nullptr;
  }
  if (p - mantissa_start > 19) return nullptr;
  int exponent = 0;
  if (p != last && (*p == 'e' || *p == 'E')) {
    ++p;
    bool exponent_negative = false;
    if (p != last && (*p == '-' || *p == '+')) exponent_negative = *p++ == '-';
    const char* const exponent_start = p;
    for (unsigned d; p - exponent_start < 4 && (d = digit_at(p)) <= 9; ++p) {
      exponent = exponent * 10 + static_cast<int>(d);
    }
    if (p == exponent_start || digit_at(p) <= 9) return nullptr;
    if (exponent_negative) exponent = -exponent;
  }
  number.digits = digits;
  number.exponent = exponent - fraction_digits;
  return p;
}

const char* scan_padded_plain_number(const char* first, PlainDecimal& number) {
  const char* p = first;
  number.negative = *p == '-';
  p += (*p == '-') | (*p == '+');
  const uint64_t whole_word = load_word(p);
  const int whole_count = bytes_before_mark(bytes_not_digit(whole_word));
  p += whole_count;
  // The fraction is read whether or not there is a point, and counted only
  // when there is: cheaper than a branch that is hard to predict.
  const bool has_point = *p == '.';
  const uint64_t fraction_word = load_word(p + 1);
  const int fraction_count = has_point ? bytes_before_mark(bytes_not_digit(fraction_word)) : 0;
  if (whole_count == 8 || fraction_count == 8 || whole_count + fraction_count == 0) return nullptr;
  number.digits = digits_value(whole_word, whole_count) * kPowersOfTenBelow8[fraction_count] +
                  digits_value(fraction_word, fraction_count);
  number.exponent = -fraction_count;
  p += has_point + fraction_count;
  if ((*p | 0x20) == 'e') {
    int exponent = 0;
    p = scan_exponent(p + 1, exponent);
    if (p == nullptr) return nullptr;
    number.exponent += exponent;
  }
  return p;
}

}  // namespace tovel
