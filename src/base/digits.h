#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tovel {

// The two ASCII digits of each number below 100, in writing order.
inline constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes `value` as exactly `count` decimal digits, with leading zeros: the
// four digits of a file number, the digits of a number field. The one place
// that writes an integer's digits; two at a time.
inline void put_digits(char* out, uint32_t value, int count) {
  int i = count;
  for (; i >= 2; i -= 2) {
    std::memcpy(out + i - 2, &kDigitPairs[2 * (value % 100)], 2);
    value /= 100;
  }
  if (i == 1) out[0] = static_cast<char>('0' + value % 10);
}

// Writes `value` right-aligned in `count` columns, blank-filled on the
// left, as the console shows a file's number.
inline void put_right_aligned(char* out, uint32_t value, int count) {
  put_digits(out, value, count);
  for (int i = 0; i + 1 < count && out[i] == '0'; ++i)
    out[i] = ' ';
}

}  // namespace tovel
