#pragma once

#include <cstdint>
#include <string_view>

namespace tovel {

inline constexpr std::size_t kRealFieldWidth = 14;

struct RealFieldResult {
  float value;
  bool ok;  // false: "Bad value during floating point read"
};

// Reads the F14.0 real field from `field`: only its first 14 characters take
// part. Blanks are ignored, a sign alone is +0, the exponent may be introduced
// by E, D or Q (either case) or by its sign alone, and inf, infinity and nan
// are recognised. The value is rounded once to nearest, ties to even.
RealFieldResult decode_real_field(std::string_view field);

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
float plain_value(const PlainDecimal& number);

}  // namespace tovel
