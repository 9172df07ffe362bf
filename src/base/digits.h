#pragma once

#include <cstdint>

namespace tovel {

// Writes `value` as exactly `count` decimal digits, with leading zeros: the
// four digits of a file number, the digits of a G14.4 field. The one place
// that writes an integer's digits.
constexpr void put_digits(char* out, uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// Writes `value` right-aligned in `count` columns, blank-filled on the
// left, as the console shows a file's number.
constexpr void put_right_aligned(char* out, uint32_t value, int count) {
  put_digits(out, value, count);
  for (int i = 0; i + 1 < count && out[i] == '0'; ++i)
    out[i] = ' ';
}

}  // namespace tovel
