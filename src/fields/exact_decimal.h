#pragma once

#include <cstdint>

namespace tovel {

using uint128 = unsigned __int128;

// 10^i for i = 0..38, and 5^i for i = 0..55: every power that fits in 128 bits.
uint128 power_of_ten(int i);
uint128 power_of_five(int i);

// n / 2^shift rounded to nearest, ties to even. Any shift >= 0.
uint128 shift_right_rounded(uint128 n, int shift);

// The number of significant bits of n (0 for n = 0).
int bit_length(uint64_t n);
int bit_length(uint128 n);

// The number of decimal digits of n (0 for n = 0).
int decimal_digit_count(uint64_t n);

}  // namespace tovel
