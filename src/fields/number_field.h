#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

#include "fields/g14_4.h"

namespace tovel {

// The significant digits the table's numbers may be written with.
inline constexpr int kLeastDigits = 4;
inline constexpr int kMostDigits = 9;

namespace detail {

// The layout thresholds of the field of `digits` digits, as bits of single
// precision magnitudes, derived as those of G14.4 are with `digits` in place
// of 4: R = 0.5 / 10^digits and T0 = 1 - R, rounded to single precision;
// L = T0 × 0.1 in double precision, rounded to single; Ti = 10^i × T0; U the
// least magnitude a for which 10^digits - a, in single precision, is 0.5 or
// less. Magnitudes from L up to U take the fixed form, with `digits`
// decimals below T0 and one fewer at each further threshold reached.
struct FieldThresholds {
  uint32_t low;                               // L
  std::array<uint32_t, kMostDigits> steps{};  // T0 to T(digits - 1)
  uint32_t high;                              // U
};

constexpr float power_of_ten_float(int n) {
  float p = 1.0f;
  for (int i = 0; i < n; ++i)
    p *= 10.0f;  // exact up to 10^10
  return p;
}

constexpr FieldThresholds derive_thresholds(int digits) {
  FieldThresholds t{};
  const float scale = power_of_ten_float(digits);
  const float t0 = 1.0f - 0.5f / scale;
  t.low = std::bit_cast<uint32_t>(static_cast<float>(static_cast<double>(t0) * 0.1));
  for (int i = 0; i < digits; ++i)
    t.steps[static_cast<std::size_t>(i)] = std::bit_cast<uint32_t>(power_of_ten_float(i) * t0);
  uint32_t high = std::bit_cast<uint32_t>(scale);
  while (scale - std::bit_cast<float>(high - 1) <= 0.5f)
    --high;
  t.high = high;
  return t;
}

inline constexpr auto kFieldThresholds = [] {
  std::array<FieldThresholds, kMostDigits - kLeastDigits + 1> all{};
  for (int digits = kLeastDigits; digits <= kMostDigits; ++digits)
    all[static_cast<std::size_t>(digits - kLeastDigits)] = derive_thresholds(digits);
  return all;
}();
static_assert(kFieldThresholds[0].low == kBitsL && kFieldThresholds[0].steps[0] == kBitsT0 &&
                  kFieldThresholds[0].steps[1] == kBitsT1 &&
                  kFieldThresholds[0].steps[2] == kBitsT2 &&
                  kFieldThresholds[0].steps[3] == kBitsT3 && kFieldThresholds[0].high == kBitsU,
              "at 4 digits, the thresholds of G14.4");

}  // namespace detail

// Writes `value` with `digits` significant digits (kLeastDigits to
// kMostDigits) into out[0 .. digits + 9], by the rules of the G14.4 field
// with `digits` in place of 4: the fixed form, right-aligned in digits + 6
// columns and followed by 4 blanks, for zero and for magnitudes from L up to
// U; the exponent form 0.d…dE±ee, right-aligned in the whole field,
// otherwise; Infinity, -Infinity and NaN right-aligned. The digits are the
// exact value rounded to nearest, ties to even. Defined for every bit
// pattern.
void format_real_field(float value, int digits, char* out);

// The field every number of the table is written in: G14.4 unless more
// digits are asked for.
class NumberField {
 public:
  constexpr NumberField() = default;
  // `digits` from kLeastDigits to kMostDigits.
  explicit constexpr NumberField(int digits) : digits_(digits) {}

  constexpr int digits() const { return digits_; }
  constexpr std::size_t width() const { return static_cast<std::size_t>(digits_) + 10; }
  // Writes the field of `value` into out[0 .. width() - 1].
  void write(float value, char* out) const {
    if (digits_ == kLeastDigits) {
      format_g14_4(value, out);
    } else {
      format_real_field(value, digits_, out);
    }
  }
  // A table cell: the field followed by a tab, cell_width() characters.
  constexpr std::size_t cell_width() const { return width() + 1; }
  void write_cell(float value, char* out) const {
    write(value, out);
    out[width()] = '\t';
  }
  // The cells of `values`, one after another from `out`: the loop of the
  // table's rows, with the field's digits chosen once.
  void write_cells(std::span<const float> values, char* out) const;

 private:
  int digits_ = kLeastDigits;
};

// The widest field of all.
inline constexpr std::size_t kWidestNumberField = kMostDigits + 10;

}  // namespace tovel
