#include "fields/exact_decimal.h"

#include <array>
#include <bit>

namespace tovel {
namespace {

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

constexpr auto kPowersOfTen = powers<10, 39>();
constexpr auto kPowersOfFive = powers<5, 56>();

}  // namespace

uint128 power_of_ten(int i) { return kPowersOfTen[static_cast<std::size_t>(i)]; }
uint128 power_of_five(int i) { return kPowersOfFive[static_cast<std::size_t>(i)]; }

uint128 shift_right_rounded(uint128 n, int shift) {
  if (shift == 0) return n;
  if (shift > 128) return 0;  // below a quarter of one unit
  const uint128 half = uint128{1} << (shift - 1);
  const uint128 q = shift == 128 ? 0 : n >> shift;
  const uint128 rest = n & ((half << 1) - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) return q + 1;
  return q;
}

int bit_length(uint64_t n) { return static_cast<int>(std::bit_width(n)); }

int bit_length(uint128 n) {
  const auto high = static_cast<uint64_t>(n >> 64);
  return high != 0 ? 64 + bit_length(high) : bit_length(static_cast<uint64_t>(n));
}

int decimal_digit_count(uint64_t n) {
  int count = 0;
  while (n != 0) {
    n /= 10;
    ++count;
  }
  return count;
}

}  // namespace tovel
