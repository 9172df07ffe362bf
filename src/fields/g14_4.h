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

// How the four digits of a fixed-form text (in a word, the first digit in
// the lowest byte) take their places for n decimals: the text is
// digits × keep + (digits & moved) × move + inserted, which puts the point
// after 4 - n digits, or "0." before all four.
struct FixedLayout {
  uint64_t keep;
  uint64_t moved;
  uint64_t move;
  uint64_t inserted;
};
inline constexpr FixedLayout kFixedLayouts[] = {
    {1, 0, 0, uint64_t{'.'} << 32},                       // dddd.
    {1, 0xFF000000u, 255, uint64_t{'.'} << 24},           // ddd.d
    {1, 0xFFFF0000u, 255, uint64_t{'.'} << 16},           // dd.dd
    {1, 0xFFFFFF00u, 255, uint64_t{'.'} << 8},            // d.ddd
    {0, 0xFFFFFFFFu, 1 << 16, uint64_t{'0'} | '.' << 8},  // 0.dddd
};

// Whether a value's magnitude takes the usual fixed form, from L up to U.
inline bool in_fixed_range(float value) {
  const uint32_t magnitude = std::bit_cast<uint32_t>(value) & 0x7FFFFFFFu;
  return magnitude >= kBitsL && magnitude < kBitsU;
}

// The decimals of the fixed form by a magnitude's binade, from L's to U's:
// `decimals` below the binade's threshold, if it holds one, and one fewer
// from the threshold on. No binade holds two thresholds.
struct FixedBinade {
  uint32_t threshold;  // the bits of T0, T1, T2 or T3, or above every magnitude
  int decimals;
};
inline constexpr uint32_t kFirstFixedBinade = kBitsL >> 23;
inline constexpr auto kFixedBinades = [] {
  constexpr uint32_t kThresholds[] = {kBitsT0, kBitsT1, kBitsT2, kBitsT3};
  std::array<FixedBinade, (kBitsU >> 23) - kFirstFixedBinade + 1> binades{};
  for (uint32_t b = 0; b < binades.size(); ++b) {
    const uint32_t first = (kFirstFixedBinade + b) << 23;
    binades[b] = {~uint32_t{0}, 4};
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
  const int n = binade.decimals - int{magnitude >= binade.threshold};
  // magnitude × 10^n rounded to nearest, ties to even; the binary exponent
  // lies in [-27, -10] here, so the product fits easily. The bits shifted
  // out are kept at the top of `fraction`, where a half is 2^63.
  const uint64_t scaled =
      uint64_t{(magnitude & 0x7FFFFFu) | 0x800000u} * kPowersOfTen64[static_cast<std::size_t>(n)];
  const int shift = 150 - static_cast<int>(magnitude >> 23);
  const uint64_t fraction = scaled << (64 - shift);
  constexpr uint64_t kHalf = uint64_t{1} << 63;
  const auto q =
      static_cast<uint32_t>(round_half_even(scaled >> shift, fraction > kHalf, fraction == kHalf));

  // q / 100 for q below 43699, by a multiplication.
  const uint32_t high = (q * 5243) >> 19;
  uint32_t digits;
  std::memcpy(&digits, &kDigitPairs[2 * high], 2);
  std::memcpy(reinterpret_cast<char*>(&digits) + 2, &kDigitPairs[2 * (q - 100 * high)], 2);
  const FixedLayout& layout = kFixedLayouts[n];
  uint64_t text = digits * layout.keep + (digits & layout.moved) * layout.move + layout.inserted;
  const bool negative = bits != magnitude;
  text = negative ? text << 8 | '-' : text;
  const int length = 5 + int{n == 4} + int{negative};  // at most 7
  // Right-aligned in the first 10 columns, blanks before and after: the
  // text's word, blanks beyond its length, over a field of blanks.
  text |= 0x2020202020202020u << (8 * length);
  std::memcpy(out, "        ", 8);
  std::memcpy(out + 6, "        ", 8);
  std::memcpy(out + 10 - length, &text, 8);
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
