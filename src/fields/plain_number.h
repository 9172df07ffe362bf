#pragma once

#include <cstdint>

#include "fields/binary32_from_decimal.h"

namespace tovel {

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

}  // namespace tovel
