#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace tovel {

using uint128 = unsigned __int128;

namespace detail {
template <int Base, int Count>
constexpr std::array<uint128, Count> powers() {
  std::array<uint128, Count> table{};
  uint128 p = 1;
  for (int i = 0; i < Count; ++i) {
    table[static_cast<std::size_t>(i)] = p;
    p *= Base;
  }
  return table;
}
inline constexpr auto kPowersOfTen = powers<10, 39>();
inline constexpr auto kPowersOfFive = powers<5, 56>();
}  // namespace detail

// 10^i for i = 0..38, and 5^i for i = 0..55: every power that fits in 128 bits.
inline uint128 power_of_ten(int i) {
  return detail::kPowersOfTen[static_cast<std::size_t>(i)];
}
inline uint128 power_of_five(int i) {
  return detail::kPowersOfFive[static_cast<std::size_t>(i)];
}

// The number of significant bits of n (0 for n = 0).
inline int bit_length(uint64_t n) {
  return static_cast<int>(std::bit_width(n));
}
inline int bit_length(uint128 n) {
  const auto high = static_cast<uint64_t>(n >> 64);
  return high != 0 ? 64 + bit_length(high) : bit_length(static_cast<uint64_t>(n));
}

// n / 2^shift rounded to nearest, ties to even. Any shift >= 0.
uint128 shift_right_rounded(uint128 n, int shift);

// The number of decimal digits of n (0 for n = 0).
int decimal_digit_count(uint64_t n);

}  // namespace tovel
