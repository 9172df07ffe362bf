#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "fields/wide_integer.h"

namespace tovel {

// The one table of powers of ten, for both directions of conversion.
//
// Entry q holds 10^q as significand × 2^exponent, with the significand
// normalised to 128 bits (2^127 <= significand < 2^128) and cut, not
// rounded: significand <= 10^q × 2^-exponent < significand + 1. For
// 0 <= q <= 55 the entry is exact, since 5^q < 2^128 and 10^q = 5^q × 2^q.
//
// The range covers every power the decimal reader needs (a decimal of up to
// 19 digits whose value is neither rounded to zero nor beyond the largest
// float has its exponent in [-64, 38]) and the exact powers of five that the
// float formatter needs (up to 5^48).
struct PowerOfTen {
  uint128 significand;
  int exponent;
};

inline constexpr int kMinPowerOfTen = -64;
inline constexpr int kMaxPowerOfTen = 55;

namespace detail {

inline constexpr auto kPowersOfTen = [] {
  std::array<PowerOfTen, kMaxPowerOfTen - kMinPowerOfTen + 1> table{};
  const auto normalise = [](const WideInteger<6>& value, int exponent) {
    const int width = value.bit_width();
    if (width >= 128) return PowerOfTen{value.bits_from(width - 128), exponent + width - 128};
    WideInteger<6> shifted = value;
    shifted.shift_left(128 - width);
    return PowerOfTen{shifted.bits_from(0), exponent + width - 128};
  };
  const auto entry = [&table](int q) -> PowerOfTen& {
    return table[static_cast<std::size_t>(q - kMinPowerOfTen)];
  };
  WideInteger<6> power(1);
  for (int q = 0; q <= kMaxPowerOfTen; ++q) {
    entry(q) = normalise(power, 0);
    power.multiply_add(10, 0);
  }
  // 10^q for q < 0 is 2^383 / 10^-q, cut, times 2^-383; dividing by ten at
  // each step cuts the same way, since floor(floor(a / b) / c) =
  // floor(a / (b × c)). 10^64 < 2^213 leaves at least 170 bits.
  WideInteger<6> reciprocal(1);
  reciprocal.shift_left(383);
  for (int q = -1; q >= kMinPowerOfTen; --q) {
    reciprocal.divide_by(10);
    entry(q) = normalise(reciprocal, -383);
  }
  return table;
}();

}  // namespace detail

// 10^q, kMinPowerOfTen <= q <= kMaxPowerOfTen, as described above.
constexpr const PowerOfTen& power_of_ten_entry(int q) {
  return detail::kPowersOfTen[static_cast<std::size_t>(q - kMinPowerOfTen)];
}

// 10^n exactly, 0 <= n <= 38 (every power of ten below 2^128).
constexpr uint128 power_of_ten(int n) {
  const PowerOfTen& p = power_of_ten_entry(n);
  return p.significand >> -p.exponent;
}

// 5^n exactly, 0 <= n <= 55 (every power of five below 2^128).
constexpr uint128 power_of_five(int n) {
  const PowerOfTen& p = power_of_ten_entry(n);
  return p.significand >> (n - p.exponent);
}

// 10^0 to 10^19 as 64-bit integers, taken from the table at compile time,
// for the paths that multiply by them once per value.
inline constexpr auto kPowersOfTen64 = [] {
  std::array<uint64_t, 20> powers{};
  for (int n = 0; n < 20; ++n)
    powers[static_cast<std::size_t>(n)] = static_cast<uint64_t>(power_of_ten(n));
  return powers;
}();

static_assert(power_of_ten(0) == 1 && power_of_ten(19) == 10000000000000000000u);
static_assert(power_of_ten(38) / power_of_ten(19) / power_of_ten(19) == 1);
static_assert(power_of_five(27) == 7450580596923828125u);
static_assert(power_of_five(55) / power_of_five(27) / power_of_five(27) == 5);
// Cut, not rounded: 10^-1 is 0.CCCC… in binary, so its rounded significand
// would end in …CD.
static_assert(power_of_ten_entry(-1).significand ==
                  (uint128{0xCCCCCCCCCCCCCCCCu} << 64 | 0xCCCCCCCCCCCCCCCCu) &&
              power_of_ten_entry(-1).exponent == -131);
static_assert(power_of_ten_entry(-64).significand ==
                  (uint128{0xA87FEA27A539E9A5u} << 64 | 0x3F2398D747B36224u) &&
              power_of_ten_entry(-64).exponent == -340);
static_assert(power_of_ten_entry(-22).significand ==
                  (uint128{0xF1C90080BAF72CB1u} << 64 | 0x5324C68B12DD6338u) &&
              power_of_ten_entry(-22).exponent == -201);

}  // namespace tovel
