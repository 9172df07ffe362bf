#pragma once

#include <cstdint>
#include <string_view>

#include "base/byte_class.h"
#include "base/byte_word.h"
#include "fields/powers.h"

namespace tovel {

static_assert(class_members<kPoint>().size() == 1 && class_members<kPoint>()[0] == '.',
              "the point, which the usual scan looks for as itself");

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

// The number at `first`, in the usual shapes only: [sign]digits[.digits]
// [e[sign]digits] with at most 19 digits and 4 exponent digits, read eight
// bytes at a time; 16 bytes past its end can be read. Returns where it ends,
// with the decimal scan_real_field gives that token, or nullptr for a number
// of another shape or none. The byte at the end is not part of such a
// number; whether it ends the token is the caller's to judge. With
// Scan::check `decimal` may be left alone.
template <Scan Wanted = Scan::decimal>
[[gnu::always_inline]] inline const char* scan_usual_number(const char* first, Decimal& decimal) {
  const char* p = first;
  const bool negative = *p == '-';
  p += in_class(*p, kSign);
  const char* const whole_start = p;
  uint64_t digits = 0;
  int whole = 0;
  int fraction = 0;
  // The decimal of a number that ends here, as scan_real_field gives it.
  const auto give = [&](uint64_t value, int exponent, int count) {
    if constexpr (Wanted == Scan::decimal) {
      decimal.digits = value;
      decimal.exponent = exponent;
      decimal.count = count;
      decimal.negative = negative;
      decimal.kind = Decimal::Kind::number;
      decimal.significand = nullptr;
    }
  };
  const uint64_t word = load_word(p);
  if (const int first_stop = bytes_before_mark(bytes_not_digit(word)); first_stop < 8) {
    // The commonest shapes: fewer than eight digits before the point, and
    // those of the fraction that follow in the same word, joined over the
    // point into one value; a fraction that fills the word goes on in the
    // next ones.
    whole = first_stop;
    const bool point = p[whole] == '.';
    fraction = point && whole < 7 ? bytes_before_mark(bytes_not_digit(word >> (8 * whole + 8))) : 0;
    const int end = whole + int{point} + fraction;
    if constexpr (Wanted == Scan::decimal) {
      const uint64_t whole_bytes = (uint64_t{1} << (8 * whole)) - 1;
      digits = digits_value((word & whole_bytes) | ((word >> 8) & ~whole_bytes), whole + fraction);
    }
    // No exponent, and all the digits in the word: done.
    if (whole + fraction != 0 && !in_class(p[end], kDigit | kExponentLetter)) {
      give(digits, -fraction, whole + fraction);
      return p + end;
    }
    p += end;
    if (end == 8) {
      // A fraction that fills the word goes on, within 19 digits in all
      // (numpy's %.18e has 1 + 18) in at most two more words, read inline.
      const uint64_t second = load_word(p);
      const int more = bytes_before_mark(bytes_not_digit(second));
      if (more < 8) {
        if constexpr (Wanted == Scan::decimal) {
          digits =
              digits * kPowersOfTen64[static_cast<std::size_t>(more)] + digits_value(second, more);
        }
        p += more;
        fraction += more;
      } else {
        const uint64_t third = load_word(p + 8);
        const int last = bytes_before_mark(bytes_not_digit(third));
        if (last == 8) return nullptr;  // more than 19 digits
        if (last == 4) {
          // numpy's %.18e: 19 digits, and the rest of the word an exponent
          // of two digits, "e+dd" or "e-dd", that ends the number.
          const auto letter = static_cast<char>((third >> 32) | 0x20);
          const auto sign = static_cast<char>(third >> 40);
          const auto tens = static_cast<unsigned>((third >> 48) & 0xFF) - '0';
          const auto units = static_cast<unsigned>(third >> 56) - '0';
          if (letter == 'e' && (sign == '-' || sign == '+') && tens < 10 && units < 10 &&
              !in_class(p[16], kDigit)) {
            if constexpr (Wanted == Scan::decimal) {
              const auto exponent = static_cast<int>(10 * tens + units);
              give((digits * kPowersOfTen64[8] + eight_digits_value(second)) * kPowersOfTen64[4] +
                       short_digits_value(third, 4),
                   (sign == '-' ? -exponent : exponent) - (fraction + 12), whole + fraction + 12);
            }
            return p + 16;
          }
        }
        if constexpr (Wanted == Scan::decimal) {
          digits = (digits * kPowersOfTen64[8] + eight_digits_value(second)) *
                       kPowersOfTen64[static_cast<std::size_t>(last)] +
                   digits_value(third, last);
        }
        p += 8 + last;
        fraction += 8 + last;
      }
    }
  } else {
    p = detail::take_digits<Wanted>(p, digits);
    // Without a point the fraction's digits are taken from the byte that
    // ended the whole part, which is none: cheaper than a branch hard to
    // predict.
    const bool has_point = in_class(*p, kPoint);
    whole = static_cast<int>(p - whole_start);
    p += has_point;
    const char* const fraction_start = p;
    p = detail::take_digits<Wanted>(p, digits);
    fraction = static_cast<int>(p - fraction_start);
  }
  const int count = whole + fraction;
  int exponent = 0;
  if (in_class(*p, kExponentLetter)) {
    const bool exponent_negative = p[1] == '-';
    p += 1 + in_class(p[1], kSign);
    const uint64_t exponent_word = load_word(p);
    const int n = bytes_before_mark(bytes_not_digit(exponent_word));
    if (n == 0 || n > 4) return nullptr;
    exponent = static_cast<int>(short_digits_value(exponent_word, n));
    exponent = exponent_negative ? -exponent : exponent;
    p += n;
  }
  if (count == 0 || count > kKeptDigits) return nullptr;
  give(digits, exponent - fraction, count);
  return p;
}

// scan_real_field for the token [first, last) of a line in a buffer, in the
// usual shapes only (scan_usual_number): the byte at `last` is a separator or
// a line end. True, with scan_real_field's decimal, for a token of such a
// shape; false for any other, which scan_real_field may still read.
template <Scan Wanted = Scan::decimal>
[[gnu::always_inline]] inline bool scan_usual_real_field(const char* first, const char* last,
                                                         Decimal& decimal) {
  return scan_usual_number<Wanted>(first, decimal) == last;
}

namespace detail {
// scan_real_field's result for a token, out of line: the decimal is
// returned, so that a caller's own stays in registers.
struct ScannedField {
  bool number;
  Decimal decimal;
};
ScannedField scan_unusual_field(const char* first, const char* last);
}  // namespace detail

// scan_real_field for a token of a line in a buffer, as scan_usual_real_field
// takes it: the usual shapes there, any other by scan_real_field itself. The
// result is always that of scan_real_field.
template <Scan Wanted = Scan::decimal>
[[gnu::always_inline]] inline bool scan_padded_real_field(const char* first, const char* last,
                                                          Decimal& decimal) {
  if (scan_usual_real_field<Wanted>(first, last, decimal)) [[likely]]
    return true;
  const detail::ScannedField scanned = detail::scan_unusual_field(first, last);
  decimal = scanned.decimal;
  return scanned.number;
}

}  // namespace tovel
