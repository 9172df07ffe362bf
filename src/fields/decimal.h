#pragma once

#include <cstdint>
#include <string_view>

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

// scan_real_field for a field followed in memory by at least 16 readable
// bytes: the usual shapes, [sign]digits[.digits][e[sign]digits] with at most
// 19 digits and 4 exponent digits, are read eight bytes at a time. The
// result is always that of scan_real_field.
bool scan_padded_real_field(const char* first, const char* last, Decimal& decimal);

}  // namespace tovel
