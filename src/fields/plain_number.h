#pragma once

#include <cstdint>

#include "fields/binary32_from_decimal.h"

namespace tovel {

// 10^0 to 10^7.
inline constexpr uint64_t kPowersOfTenBelow8[] = {1,     10,     100,     1000,
                                                  10000, 100000, 1000000, 10000000};

// A number of the common plain shape, [sign]digits[.digits][(e|E)[sign]digits]
// with at most four exponent digits, as ±digits × 10^exponent.
struct PlainDecimal {
  uint64_t digits;
  int exponent;
  bool negative;
};

// Reads a plain number from the start of [first, last), up to the first
// character that cannot continue it, and returns a pointer to that character;
// returns nullptr when the text does not start with a plain number. For a
// field of at most 14 characters that is a plain number and nothing else,
// plain_value(number) equals decode_real_field(field).value.
const char* scan_plain_number(const char* first, const char* last, PlainDecimal& number);

// scan_plain_number for text followed by at least 16 NUL bytes (or by a byte that ends the number
// and 16 readable bytes), reading eight bytes at a time. It may also return nullptr for a plain
// number with eight or more digits before or after the point; every number it does read, it reads
// as scan_plain_number does.
const char* scan_padded_plain_number(const char* first, PlainDecimal& number);

inline float plain_value(const PlainDecimal& number) {
  return binary32_from_decimal(number.digits, number.exponent, number.negative);
}

// plain_value for a number with fewer than 2^24 digits units and 0 to 10
// decimal places, by one division in the floating-point unit. Both operands
// are exact, so the quotient is rounded once, to nearest, ties to even, in
// the default rounding mode, which this program never changes. Shorter than
// the integer conversion on the path every data value takes.
inline float short_plain_value(uint32_t digits, int places, bool negative) {
  constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                    1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  const float magnitude = static_cast<float>(static_cast<int32_t>(digits)) / kPowersOfTen[places];
  return negative ? -magnitude : magnitude;
}

}  // namespace tovel
