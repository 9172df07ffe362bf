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

}  // namespace detail

// The binary32 value nearest to the decimal, ties to even, computed with
// integer arithmetic only, so the result does not depend on the
// floating-point unit's rounding mode. Magnitudes beyond the largest finite
// value round to infinity, tiny ones through the subnormals to a signed zero.
//
// Decimals of up to 19 digits (the usual ones) take a fast path: the value
// is bracketed by one 64 × 64-bit product, and when both ends of the bracket
// round to the same float that is the answer. Only values within about
// 2^-38 of a float's half-way point, exact ties among them, take the exact
// path.
inline float binary32_from_decimal(const Decimal& decimal) {
  const uint32_t sign = decimal.negative ? 0x80000000u : 0;
  if (decimal.kind != Decimal::Kind::number) {
    return std::bit_cast<float>(
        sign | (decimal.kind == Decimal::Kind::nan ? 0x7FC00000u : kBinary32Infinity));
  }
  const uint64_t digits = decimal.digits;
  const int exponent = decimal.exponent;
  if (digits == 0) return std::bit_cast<float>(sign);
  // Beyond the table, with at most 19 digits: at least 10^39, or below 10^-46.
  if (exponent > 38) return std::bit_cast<float>(sign | kBinary32Infinity);
  if (exponent < kMinPowerOfTen) return std::bit_cast<float>(sign);
  const detail::Bracket low = detail::bracket(digits, exponent);
  // With digits cut after the 19th, the value lies below (digits + 1) × 10^exponent.
  const detail::Bracket high =
      decimal.count > kKeptDigits ? detail::bracket(digits + 1, exponent) : low;
  const uint32_t bits = round_to_binary32(low.h, low.unit_exponent, false);
  if (high.h <= UINT64_MAX - 2 && bits == round_to_binary32(high.h + 2, high.unit_exponent, false))
      [[likely]] {
    return std::bit_cast<float>(sign | bits);
  }
  return std::bit_cast<float>(sign | detail::exact_magnitude_bits(decimal));
}

}  // namespace tovel
