#pragma once

#include <cstdint>

#include "fields/wide_integer.h"

namespace tovel {

// The one rounding of every conversion, decimal to binary and binary to
// decimal: to nearest, an exact half-way case going to the even neighbour.
// `kept` is what is kept of a number; the part cut off is above one half
// of a unit of `kept`, or exactly one half.
template <typename U>
constexpr U round_half_even(U kept, bool above_half, bool exactly_half) {
  return kept + static_cast<U>(above_half | (exactly_half & ((kept & 1) != 0)));
}

// n / unit rounded to nearest, ties to even, for unit > 0.
template <typename U>
constexpr U divide_rounded(U n, U unit) {
  const U rest = n % unit;
  const U other = unit - rest;
  return round_half_even<U>(n / unit, rest > other, rest == other);
}

// n / 2^shift rounded to nearest, ties to even, for any shift >= 0.
constexpr uint128 shift_right_rounded(uint128 n, int shift) {
  if (shift == 0) return n;
  if (shift > 128) return 0;  // below a quarter of one unit
  const uint128 half = uint128{1} << (shift - 1);
  const uint128 rest = n & ((half << 1) - 1);
  return round_half_even<uint128>(shift == 128 ? 0 : n >> shift, rest > half, rest == half);
}

inline constexpr uint32_t kBinary32Infinity = 0x7F800000u;

// The bits of the binary32 magnitude nearest to (q + f) × 2^exponent, where
// q > 0 and 0 <= f < 1, f > 0 exactly when `inexact`: rounded to nearest,
// ties to even, through the subnormals, to infinity beyond the largest
// finite value. When `inexact`, q must carry at least two bits below the
// last bit a float keeps.
constexpr uint32_t round_to_binary32(uint64_t q, int exponent, bool inexact) {
  const int length = bit_length(q);
  const int top = length - 1 + exponent;  // the weight of the leading bit
  const bool subnormal = top < -126;
  const int last_kept = subnormal ? -149 : top - 23;
  const int shift = last_kept - exponent;  // the bits cut off
  uint64_t mantissa;
  if (shift <= 0) {
    mantissa = q << -shift;  // exact
  } else if (shift > 64) {
    return 0;  // below half of the smallest subnormal
  } else {
    const uint64_t half = uint64_t{1} << (shift - 1);
    const uint64_t rest = q & (half + (half - 1));
    const bool above = rest > half || (rest == half && inexact);
    mantissa =
        round_half_even<uint64_t>(shift == 64 ? 0 : q >> shift, above, rest == half && !inexact);
  }
  // A subnormal that rounds up to 2^23 is the smallest normal number, which
  // the same bits encode. A normal mantissa that rounds up to 2^24 carries
  // into the exponent, which the addition of the exponent field does too.
  if (subnormal) return static_cast<uint32_t>(mantissa);
  const int biased = top + 127;
  const uint64_t bits = (static_cast<uint64_t>(biased - 1) << 23) + mantissa;
  return bits >= kBinary32Infinity ? kBinary32Infinity : static_cast<uint32_t>(bits);
}

}  // namespace tovel
