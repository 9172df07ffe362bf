#pragma once

#include <bit>
#include <cstdint>

#include "fields/decimal.h"
#include "fields/powers.h"
#include "fields/rounding.h"

namespace tovel {
namespace detail {

// The bits of the binary32 magnitude nearest to the decimal's value, with
// exact arithmetic on all its digits; for the values the fast path below
// cannot settle, which are rare.
uint32_t exact_magnitude_bits(const Decimal& decimal);

// digits × 10^exponent within [H, H + 2) × 2^unit_exponent, for digits > 0
// and an exponent in the table's range.
struct Bracket {
  uint64_t h;
  int unit_exponent;
};
inline Bracket bracket(uint64_t digits, int exponent) {
  // 10^exponent lies in [m, m + 1) × 2^(e + 64), and digits is d × 2^-lz
  // with d normalised; their product lies in [d × m, d × m + 2^64), whose
  // top word is H or H + 1.
  const PowerOfTen& power = power_of_ten_entry(exponent);
  const auto m = static_cast<uint64_t>(power.significand >> 64);
  const int lz = std::countl_zero(digits);
  const auto h = static_cast<uint64_t>((uint128{digits << lz} * m) >> 64);
  return {h, power.exponent + 128 - lz};
}

// The bits of the binary32 magnitude nearest to a decimal of digits > 0 and
// an exponent in the table's range, when the fast path below cannot give it.
// The decimal is taken by value, so that a caller's own need not live in
// memory for this rare call.
uint32_t magnitude_bits_in_general(Decimal decimal);

}  // namespace detail

// A number whose magnitude lies beyond single precision, and so what it is
// read as: too large, an infinity; non-zero and too small, zero.
enum class OutOfRange : uint8_t { no, too_large, too_small };

// A conversion's result, and whether the decimal lay beyond single
// precision. The words inf, infinity and nan do not, nor do values that
// became subnormal.
struct Binary32 {
  float value;
  OutOfRange out_of_range;
};

namespace detail {
// The conversion when the fast path below cannot give it.
inline Binary32 binary32_in_general(Decimal decimal, uint32_t sign) {
  const uint32_t bits = magnitude_bits_in_general(decimal);
  const OutOfRange beyond = bits == kBinary32Infinity ? OutOfRange::too_large
                            : bits == 0               ? OutOfRange::too_small
                                                      : OutOfRange::no;
  return {std::bit_cast<float>(sign | bits), beyond};
}
}  // namespace detail

// The binary32 value nearest to the decimal, ties to even, computed with
// integer arithmetic only, so the result does not depend on the
// floating-point unit's rounding mode. Magnitudes beyond the largest finite
// value round to infinity, tiny ones through the subnormals to a signed zero.
//
// A decimal of up to 19 digits (the usual kind) is bracketed by one 64 ×
// 64-bit product, [H, H + 2) units, and when no half-way point between two
// floats lies in the bracket, H rounds as the value does. Values within
// about 2^-38 of a half-way point (exact ties among them), results in the
// top binade or subnormal, and longer decimals take the general path. The
// fast path's result is always in range, so a caller that looks at
// out_of_range pays nothing for it there.
[[gnu::always_inline]] inline Binary32 binary32_and_range(const Decimal& decimal) {
  const uint32_t sign = decimal.negative ? 0x80000000u : 0;
  if (decimal.kind != Decimal::Kind::number) {
    const uint32_t bits = decimal.kind == Decimal::Kind::nan ? 0x7FC00000u : kBinary32Infinity;
    return {std::bit_cast<float>(sign | bits), OutOfRange::no};
  }
  const uint64_t digits = decimal.digits;
  const int exponent = decimal.exponent;
  if (digits == 0) return {std::bit_cast<float>(sign), OutOfRange::no};
  // Beyond the table, with at most 19 digits: at least 10^39, or below 10^-46.
  if (exponent > 38) return {std::bit_cast<float>(sign | kBinary32Infinity), OutOfRange::too_large};
  if (exponent < kMinPowerOfTen) return {std::bit_cast<float>(sign), OutOfRange::too_small};
  if (decimal.count <= kKeptDigits) {
    // H >= 2^62: its leading bit is bit 62 or 63, and 24 bits are kept.
    const detail::Bracket b = detail::bracket(digits, exponent);
    const int upper = static_cast<int>(b.h >> 63);
    const int shift = 39 + upper;
    const uint64_t half = uint64_t{1} << (shift - 1);
    const uint64_t rest = b.h & ((half << 1) - 1);
    const int biased = 62 + upper + b.unit_exponent + 127;
    const bool clear_of_half = rest - (half - 2) > 2;  // rest outside [half - 2, half]
    if (clear_of_half && biased > 0 && biased < 254) [[likely]] {
      // No tie is left here. A mantissa rounded up to 2^24 carries into the
      // exponent field, which stays below the infinities' from this binade.
      const uint64_t mantissa = round_half_even<uint64_t>(b.h >> shift, rest > half, false);
      const uint64_t bits = (static_cast<uint64_t>(biased - 1) << 23) + mantissa;
      return {std::bit_cast<float>(sign | static_cast<uint32_t>(bits)), OutOfRange::no};
    }
  }
  return detail::binary32_in_general(decimal, sign);
}

// The binary32 value nearest to the decimal (binary32_and_range).
[[gnu::always_inline]] inline float binary32_from_decimal(const Decimal& decimal) {
  return binary32_and_range(decimal).value;
}

}  // namespace tovel
