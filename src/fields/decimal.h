#pragma once

#include <cstdint>
#include <string_view>

#include "base/byte_class.h"
#include "base/byte_word.h"
#include "fields/powers.h"

namespace tovel {

// The significant digits a 64-bit integer always holds.
inline constexpr int kKeptDigits = 19;

// A real field as read, before conversion: ±digits × 10^exponent, or one of
// the special values.
struct Decimal {
  enum class Kind : uint8_t { number, infinity, nan };
  // The mantissa's first (at most 19) significant digits as an integer; 0
  // for a mantissa without a non-zero digit.
  uint64_t digits = 0;
  // The value is digits × 10^exponent when count <= 19, and lies between
  // that and (digits + 1) × 10^exponent otherwise.
  int exponent = 0;
  // The mantissa's digits from its first non-zero one to its end: when 19
  // or fewer, `digits` holds them all. A scan may count leading zeros too
  // as long as the total stays within 19.
  int count = 0;
  bool negative = false;
  Kind kind = Kind::number;
  // With count > 19: the first significant digit, from which the mantissa's
  // digits can be read again (points and blanks between them are skipped).
  const char* significand = nullptr;
};

// Reads a whole real field: blanks anywhere are ignored; a sign; digits
// with at most one point; an exponent introduced by E, D or Q in either
// case or by its sign alone, of at most 9999 in magnitude; or inf, infinity
// or nan with at most one parenthesised group. A field without a digit is
// zero, with the sign unless the sign stands alone. Returns false when the
// field breaks a rule ("Bad value during floating point read").
bool scan_real_field(std::string_view field, Decimal& decimal);

// What a scan gives: the decimal, or only whether the field is a number.
enum class Scan { decimal, check };

namespace detail {

// Appends the digits among the eight bytes at `p` to `digits` (with
// Scan::check, only counts them) and returns how many there are, 0 to 8.
template <Scan Wanted>
[[gnu::always_inline]] inline int take_digit_word(const char* p, uint64_t& digits) {
  const uint64_t word = load_word(p);
  const int n = bytes_before_mark(bytes_not_digit(word));
  if constexpr (Wanted == Scan::decimal) {
    digits = digits * kPowersOfTen64[static_cast<std::size_t>(n)] + digits_value(word, n);
  }
  return n;
}

// take_digits past its first eight digits, out of line: long runs are rare.
template <Scan Wanted>
const char* take_digit_words(const char* p, uint64_t& digits);

// Appends the digits from `p` on to `digits`, eight at a time, and returns
// where they end; with Scan::check only where they end. More than 19 digits
// in all overflow, which the caller tells from their count.
template <Scan Wanted>
[[gnu::always_inline]] inline const char* take_digits(const char* p, uint64_t& digits) {
  const int n = take_digit_word<Wanted>(p, digits);
  return n < 8 ? p + n : take_digit_words<Wanted>(p + 8, digits);
}

}  // namespace detail

// scan_real_field for a token of a line in a buffer: the byte at `last` is a
// separator or a line end, and 16 bytes from there can be read. The usual
// shapes, [sign]digits[.digits][e[sign]digits] with at most 19 digits and 4
// exponent digits, are read eight bytes at a time. The result is always that
// of scan_real_field. With Scan::check only the result is sure: `decimal`
// may be left alone.
template <Scan Wanted = Scan::decimal>
[[gnu::always_inline]] inline bool scan_padded_real_field(const char* first, const char* last,
                                                          Decimal& decimal) {
  const char* p = first;
  const bool negative = *p == '-';
  p += in_class(*p, kSign);
  const char* const whole_start = p;
  // The commonest shape, up to eight digits with or without a point, in one
  // word: all its bytes digits, or all but one, the point.
  if (const auto length = static_cast<int>(last - p); length > 0 && length <= 8) {
    const uint64_t word = load_word(p);
    const uint64_t in_token = ~uint64_t{0} >> (64 - 8 * length);
    const uint64_t not_digits = ~bytes_in_class<kDigit>(word) & in_token & kByteHighBits;
    const bool one_point = (not_digits & (not_digits - 1)) == 0 &&
                           (not_digits == 0 || in_class(p[bytes_before_mark(not_digits)], kPoint));
    if (one_point && length > int{not_digits != 0}) {
      const int point_at = not_digits == 0 ? length : bytes_before_mark(not_digits);
      const uint64_t before_point =
          point_at == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * point_at)) - 1;
      const uint64_t joined = (word & before_point) | ((word >> 8) & ~before_point);
      const int count = length - int{not_digits != 0};
      if constexpr (Wanted == Scan::decimal) {
        decimal.digits = digits_value(joined, count);
        decimal.exponent = point_at - count;
        decimal.count = count;
        decimal.negative = negative;
        decimal.kind = Decimal::Kind::number;
        decimal.significand = nullptr;
      }
      return true;
    }
  }
  uint64_t digits = 0;
  p = detail::take_digits<Wanted>(p, digits);
  // Without a point the fraction's digits are taken from the byte that ended
  // the whole part, which is none: cheaper than a branch hard to predict.
  const bool has_point = in_class(*p, kPoint);
  const int whole = static_cast<int>(p - whole_start);
  p += has_point;
  const char* const fraction_start = p;
  p = detail::take_digits<Wanted>(p, digits);
  const int fraction = static_cast<int>(p - fraction_start);
  const int count = whole + fraction;
  int exponent = 0;
  if (in_class(*p, kExponentLetter)) {
    const bool exponent_negative = p[1] == '-';
    p += 1 + in_class(p[1], kSign);
    const uint64_t word = load_word(p);
    const int n = bytes_before_mark(bytes_not_digit(word));
    exponent = static_cast<int>(digits_value(word, n));
    exponent = exponent_negative ? -exponent : exponent;
    p = n == 0 || n > 4 ? nullptr : p + n;
  }
  if (p != last || count == 0 || count > kKeptDigits) {
    return scan_real_field({first, static_cast<std::size_t>(last - first)}, decimal);
  }
  if constexpr (Wanted == Scan::check) return true;
  decimal.digits = digits;
  decimal.exponent = exponent - fraction;
  decimal.count = count;
  decimal.negative = negative;
  decimal.kind = Decimal::Kind::number;
  decimal.significand = nullptr;
  return true;
}

}  // namespace tovel
