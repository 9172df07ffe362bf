#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "fields/exact_decimal.h"

namespace tovel {
namespace detail {

// 10^p for p = 0..10 and its reciprocal: with l = ceil(log2(10^p)),
// floor_reciprocal = floor(2^(63+l) / 10^p), which lies in [2^63, 2^64).
// For p >= 1, 10^p never divides a power of two, so the ceiling is
// floor_reciprocal + 1; for p = 0 the reciprocal is exact.
struct PowerOfTenReciprocal {
  uint64_t divisor;
  uint64_t floor_reciprocal;
  int l;
};

inline constexpr auto kReciprocals = [] {
  std::array<PowerOfTenReciprocal, 11> table{};
  uint64_t d = 1;
  for (int p = 0; p <= 10; ++p) {
    if (p > 0) d *= 10;
    int l = 0;
    while ((uint64_t{1} << l) < d)
      ++l;
    const auto reciprocal = static_cast<uint64_t>((uint128{1} << (63 + l)) / d);
    table[static_cast<std::size_t>(p)] = {d, reciprocal, l};
  }
  return table;
}();

// The bits of the binary32 value nearest to digits / 10^places, by long
// division; places 0..10, digits > 0.
uint32_t divide_by_power_of_ten_exactly(uint64_t digits, int places);

// The bits of the binary32 value nearest to digits / 10^places, places 0..10,
// digits > 0. The product of the normalised digits and the truncated
// reciprocal falls short of the exact value by less than one unit of its low
// word, so the top word decides the rounding except when the bits below the
// mantissa sit just below, at or just above the half-way point, or are all
// ones; those go to the exact division.
inline uint32_t scale_by_reciprocal(uint64_t digits, int places) {
  const PowerOfTenReciprocal& r = kReciprocals[static_cast<std::size_t>(places)];
  const int lz = std::countl_zero(digits);
  const auto high = static_cast<uint64_t>((uint128{digits << lz} * r.floor_reciprocal) >> 64);
  const int upper = static_cast<int>(high >> 63);
  const int shift = 39 + upper;  // leaves 24 bits of mantissa
  const uint64_t half = uint64_t{1} << (shift - 1);
  const uint64_t below = high & ((half << 1) - 1);
  if (below == half - 1 || below == half || below == (half << 1) - 1) [[unlikely]] {
    return divide_by_power_of_ten_exactly(digits, places);
  }
  // The result lies between 10^-10 and 2^64, a normal number. A mantissa
  // that rounds up to 2^24 carries into the exponent by the addition.
  const uint64_t mantissa = (high >> shift) + uint64_t{below > half};
  const int top = 63 + upper - lz - r.l;  // weight of the leading bit
  return (static_cast<uint32_t>(top + 127 - 1) << 23) + static_cast<uint32_t>(mantissa);
}

float binary32_from_decimal_in_general(uint64_t digits, int exponent, bool negative);

}  // namespace detail

// The binary32 value nearest to ±digits × 10^exponent, ties to even, computed
// with integer arithmetic only, so the result does not depend on the
// floating-point unit's rounding mode. Magnitudes beyond the largest finite
// value round to infinity, tiny ones through the subnormals to a signed zero.
inline float binary32_from_decimal(uint64_t digits, int exponent, bool negative) {
  const uint32_t sign = negative ? 0x80000000u : 0;
  const auto places = static_cast<unsigned>(-exponent);  // huge when the exponent is positive
  if (places <= 10 && digits != 0) {
    return std::bit_cast<float>(sign |
                                detail::scale_by_reciprocal(digits, static_cast<int>(places)));
  }
  return detail::binary32_from_decimal_in_general(digits, exponent, negative);
}

}  // namespace tovel
