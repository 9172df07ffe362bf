#include "fields/exact_decimal.h"

namespace tovel {

uint128 shift_right_rounded(uint128 n, int shift) {
  if (shift == 0) return n;
  if (shift > 128) return 0;  // below a quarter of one unit
  const uint128 half = uint128{1} << (shift - 1);
  const uint128 q = shift == 128 ? 0 : n >> shift;
  const uint128 rest = n & ((half << 1) - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) return q + 1;
  return q;
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
