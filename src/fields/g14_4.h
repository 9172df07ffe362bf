#pragma once

#include <array>

namespace tovel {

inline constexpr int kG14Width = 14;

// Writes the G14.4 text of `value` into out[0..13]: exactly 14 characters,
// no terminator. Fixed form for zero and for magnitudes from L up to just
// under 9999.5, exponent form 0.dddd E±dd otherwise; the digits are the
// exact value rounded to nearest, ties to even. Defined for every bit pattern.
void format_g14_4(float value, char* out);

inline std::array<char, kG14Width> format_g14_4(float value) {
  std::array<char, kG14Width> text;
  format_g14_4(value, text.data());
  return text;
}

}  // namespace tovel
