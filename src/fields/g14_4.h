#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/digits.h"
#include "fields/powers.h"
#include "fields/rounding.h"

namespace tovel {

inline constexpr int kG14Width = 14;

namespace detail {

static_assert(std::endian::native == std::endian::little);

// The layout thresholds. With R = 0.5 / 10000 rounded to single precision:
// T0 = 1 - R; L = T0 × 0.1, the product in double precision and then rounded
// to single; T1, T2, T3 = 10, 100, 1000 × T0; U = 9999.5. Magnitudes from L
// up to U take the fixed form, with 4 decimals below T0 and one fewer at
// each further threshold reached; a value equal to a threshold takes the
// fewer decimals.
inline constexpr float kR = 0.5f / 10000.0f;
inline constexpr float kT0 = 1.0f - kR;
inline constexpr float kL = static_cast<float>(static_cast<double>(kT0) * 0.1);
inline constexpr float kT1 = 10.0f * kT0;
inline constexpr float kT2 = 100.0f * kT0;
inline constexpr float kT3 = 1000.0f * kT0;
inline constexpr float kU = 9999.5f;

// The same thresholds as the bits of a magnitude, which order as the
// magnitudes do.
inline constexpr uint32_t kBitsL = std::bit_cast<uint32_t>(kL);
inline constexpr uint32_t kBitsT0 = std::bit_cast<uint32_t>(kT0);
inline constexpr uint32_t kBitsT1 = std::bit_cast<uint32_t>(kT1);
inline constexpr uint32_t kBitsT2 = std::bit_cast<uint32_t>(kT2);
inline constexpr uint32_t kBitsT3 = std::bit_cast<uint32_t>(kT3);
inline constexpr uint32_t kBitsU = std::bit_cast<uint32_t>(kU);
static_assert(std::bit_cast<uint32_t>(kR) == 0x3851B717u && kBitsT0 == 0x3F7FFCB9u &&
                  kBitsL == 0x3DCCCA2Eu && kBitsT1 == 0x411FFDF4u && kBitsT2 == 0x42C7FD71u &&
                  kBitsT3 == 0x4479FCCDu && kBitsU == 0x461C3E00u,
              "the thresholds' documented bit patterns");

// kDigitPairs as 16-bit words, the first digit in the lower byte.
inline constexpr auto kDigitPairWords = [] {
  std::array<uint16_t, 100> words{};
  for (std::size_t i = 0; i < words.size(); ++i) {
    words[i] = static_cast<uint16_t>(static_cast<unsigned char>(kDigitPairs[2 * i]) |
                                     static_cast<unsigned char>(kDigitPairs[2 * i + 1]) << 8);
  }
  return words;
}();

// The fixed form with n decimals, n from 0 to 4, as the word of columns 2
// to 9 of the field, where its text ends: the four digits (in a word, the
// first in the lowest byte) go to bytes 3 to 6 and on with the point after
// 4 - n of them, or after "0." for n = 4, over blanks. A minus sign turns
// the blank before the text into '-' (0x20 | 0x0D).
struct FixedLayout {
  uint64_t power;   // 10^n
  uint64_t base;    // the blanks, the point and the "0"
  uint32_t before;  // the digits' bytes before the point, moved 3 bytes up; the rest 4
  uint64_t minus;   // 0x0D in the byte before the text
};
inline constexpr FixedLayout kFixedLayouts[] = {
    {1, 0x2E00000000202020u, 0xFFFFFFFFu, uint64_t{0x0D} << 16},     // dddd.
    {10, 0x002E000000202020u, 0x00FFFFFFu, uint64_t{0x0D} << 16},    // ddd.d
    {100, 0x00002E0000202020u, 0x0000FFFFu, uint64_t{0x0D} << 16},   // dd.dd
    {1000, 0x0000002E00202020u, 0x000000FFu, uint64_t{0x0D} << 16},  // d.ddd
    {10000, 0x000000002E302020u, 0x00000000u, uint64_t{0x0D} << 8},  // 0.dddd
};

// Whether a value's magnitude takes the usual fixed form, from L up to U.
inline bool in_fixed_range(float value) {
  const uint32_t magnitude = std::bit_cast<uint32_t>(value) & 0x7FFFFFFFu;
  return magnitude >= kBitsL && magnitude < kBitsU;
}

// The decimals of the fixed form by a magnitude's binade, from L's to U's:
// `decimals` below the binade's threshold, if it holds one, and one fewer
// from the threshold on; and the binade's rounding of m × 10^n, m its 24
// bits: the product's bits below `shift` go, ties to even.
struct FixedBinade {
  uint32_t threshold;  // the bits of T0, T1, T2 or T3, or above every magnitude
  uint8_t decimals;
  uint8_t shift;        // 150 - the binade's biased exponent: from 10 to 27
  uint64_t below_half;  // 2^(shift - 1) - 1
};
inline constexpr uint32_t kFirstFixedBinade = kBitsL >> 23;
inline constexpr auto kFixedBinades = [] {
  constexpr uint32_t kThresholds[] = {kBitsT0, kBitsT1, kBitsT2, kBitsT3};
  std::array<FixedBinade, (kBitsU >> 23) - kFirstFixedBinade + 1> binades{};
  for (uint32_t b = 0; b < binades.size(); ++b) {
    const uint32_t first = (kFirstFixedBinade + b) << 23;
    const auto shift = static_cast<uint8_t>(150 - (kFirstFixedBinade + b));
    binades[b] = {~uint32_t{0}, 4, shift, (uint64_t{1} << (shift - 1)) - 1};
    for (const uint32_t t : kThresholds) {
      if (t < first) --binades[b].decimals;
      if (t >> 23 == first >> 23) binades[b].threshold = t;
    }
  }
  return binades;
}();
static_assert((kBitsT0 >> 23) != (kBitsT1 >> 23) && (kBitsT1 >> 23) != (kBitsT2 >> 23) &&
                  (kBitsT2 >> 23) != (kBitsT3 >> 23),
              "one threshold a binade");

// The fixed form of a value whose magnitude lies from L up to U. Its digits
// rounded number exactly four (1000 to 9999 units of the last decimal): the
// thresholds are where a fifth digit would appear.
inline void format_four_digit_fixed(float value, char* out) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  const uint32_t magnitude = bits & 0x7FFFFFFFu;
  const FixedBinade& binade = kFixedBinades[(magnitude >> 23) - kFirstFixedBinade];
  const FixedLayout& layout = kFixedLayouts[binade.decimals - int{magnitude >= binade.threshold}];
  // magnitude × 10^n rounded to nearest, ties to even: a half less one, and
  // one more when the kept bits are odd, carry exactly the right ones.
  const uint64_t scaled = uint64_t{(magnitude & 0x7FFFFFu) | 0x800000u} * layout.power;
  const auto q = static_cast<uint32_t>(
      (scaled + binade.below_half + ((scaled >> binade.shift) & 1)) >> binade.shift);
  // q / 100 for q below 43699, by a multiplication.
  const uint32_t high = (q * 5243) >> 19;
  const uint32_t digits = kDigitPairWords[high] | uint32_t{kDigitPairWords[q - 100 * high]} << 16;
  const uint32_t before = digits & layout.before;
  uint64_t text = layout.base | uint64_t{before} << 24 | uint64_t{digits ^ before} << 32;
  text |= layout.minus & (0 - uint64_t{bits >> 31});
  // Columns 0 and 1, and 10 to 13, are blanks.
  std::memcpy(out, "        ", 8);
  std::memcpy(out + 2, &text, 8);
  std::memcpy(out + 10, "    ", 4);
}

// The exponent form of a magnitude from 2^-30 up to L, the commonest
// outside the fixed range: 0.dddd and E-ee, the digits the magnitude
// rounded to four, ties to even; false, writing nothing, for any other.
inline bool format_small_exponent_form(float value, char* out) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  const uint32_t magnitude = bits & 0x7FFFFFFFu;
  constexpr uint32_t kLeast = 97u << 23;  // 2^-30
  if (magnitude < kLeast || magnitude >= kBitsL) return false;
  const uint64_t m = (magnitude & 0x7FFFFFu) | 0x800000u;
  const int e = static_cast<int>(magnitude >> 23) - 150;
  // floor(log10) of the magnitude is p or p - 1, at most -2; its four
  // digits are magnitude × 10^(3 - p) rounded, one more p when that reaches
  // 10^4. m × 5^t < 2^24 × 5^13 < 2^55, and the shift is from 22 to 41.
  int p = ((e + 23) * 78913) >> 18;
  uint64_t q = 0;
  for (;; ++p) {
    const int t = 3 - p;
    const uint64_t scaled = m * static_cast<uint64_t>(power_of_five(t));
    const int shift = -(e + t);
    const uint64_t fraction = scaled << (64 - shift);
    constexpr uint64_t kHalf = uint64_t{1} << 63;
    q = round_half_even(scaled >> shift, fraction > kHalf, fraction == kHalf);
    if (q < 10000) break;
  }
  // The text, "0.dddd" and "E-ee" with the exponent p + 1, in columns 4 to
  // 13, a sign before it.
  const auto high = static_cast<uint32_t>((q * 5243) >> 19);
  const auto low = static_cast<uint32_t>(q) - 100 * high;
  const auto exponent = static_cast<uint32_t>(-(p + 1));
  char text[16];
  std::memcpy(text, "    0.", 6);
  std::memcpy(text + 6, &kDigitPairs[2 * high], 2);
  std::memcpy(text + 8, &kDigitPairs[2 * low], 2);
  std::memcpy(text + 10, "E-", 2);
  std::memcpy(text + 12, &kDigitPairs[2 * exponent], 2);
  if (bits != magnitude) text[3] = '-';
  std::memcpy(out, text, 14);
  return true;
}

// Zero, the exponent form, infinities and NaN.
void format_g14_4_in_general(float value, char* out);

}  // namespace detail

// Writes the G14.4 text of `value` into out[0..13]: exactly 14 characters,
// no terminator. Fixed form for zero and for magnitudes from L up to just
// under 9999.5, exponent form 0.dddd E±dd otherwise; the digits are the
// exact value rounded to nearest, ties to even. Defined for every bit pattern.
inline void format_g14_4(float value, char* out) {
  if (detail::in_fixed_range(value)) {
    detail::format_four_digit_fixed(value, out);
  } else {
    detail::format_g14_4_in_general(value, out);
  }
}

inline std::array<char, kG14Width> format_g14_4(float value) {
  std::array<char, kG14Width> text;
  format_g14_4(value, text.data());
  return text;
}

}  // namespace tovel
