#include "fields/number_field.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

#include "base/digits.h"
#include "fields/powers.h"
#include "fields/rounding.h"
#include "fields/wide_integer.h"

namespace tovel {
namespace {

// A positive finite magnitude as m × 2^e.
struct Binary {
  uint32_t m;
  int e;
};

Binary decompose(uint32_t bits) {
  const uint32_t biased = (bits >> 23) & 0xFFu;
  const uint32_t fraction = bits & 0x7FFFFFu;
  if (biased == 0) return {fraction, -149};
  return {fraction | 0x800000u, static_cast<int>(biased) - 150};
}

// scaled_round in 64 bits, for the t and magnitudes of nearly every value
// in exponent form (about 1e-13 to 1e18); false when they do not fit.
bool scaled_round_64(Binary a, int t, uint64_t& q) {
  if (t >= 0) {
    if (t > 16) return false;  // 5^16 × m < 2^62
    const uint64_t n = a.m * static_cast<uint64_t>(power_of_five(t));
    const int shift = a.e + t;
    if (shift >= 0) {
      if (shift > 1) return false;
      q = n << shift;
    } else {
      if (shift <= -64) return false;
      q = divide_rounded(n, uint64_t{1} << -shift);
    }
    return true;
  }
  // num / den with num = m × 2^e and den = 10^-t, one of them shifted
  // left; both stay below 2^64 within these bounds.
  if (a.e > 39 || a.e < -10 || -t > (a.e < 0 ? 16 : 18)) return false;
  const uint64_t num = uint64_t{a.m} << (a.e > 0 ? a.e : 0);
  const uint64_t den = static_cast<uint64_t>(power_of_ten(-t)) << (a.e < 0 ? -a.e : 0);
  q = divide_rounded(num, den);
  return true;
}

// m × 5^t / 2^-(e + t) for the tiny magnitudes whose m × 5^t exceeds 128
// bits: at most 24 + 56 × 2.33 bits, within 192.
uint128 scaled_round_wide(Binary a, int t) {
  WideInteger<3> n(a.m);
  for (int left = t; left > 0; left -= 27)
    n.multiply_add(static_cast<uint64_t>(power_of_five(left < 27 ? left : 27)), 0);
  const int shift = -(a.e + t);
  const uint128 kept = n.bits_from(shift);
  return round_half_even<uint128>(kept, n.bit(shift - 1) && n.any_bit_below(shift - 1),
                                  n.bit(shift - 1) && !n.any_bit_below(shift - 1));
}

// m × 2^e × 10^t rounded to the nearest integer, ties to even. Exact for
// every float magnitude and every t for which the result is below 10^11.
uint128 scaled_round(Binary a, int t) {
  if (uint64_t q = 0; scaled_round_64(a, t, q)) return q;
  if (t >= 0) {
    const uint128 five = power_of_five(t);
    if (bit_length(a.m) + bit_length(static_cast<uint64_t>(five >> 64)) + 64 > 128) {
      return scaled_round_wide(a, t);
    }
    const uint128 n = a.m * five;
    const int shift = a.e + t;
    return shift >= 0 ? n << shift : shift_right_rounded(n, -shift);
  }
  const uint128 num = uint128{a.m} << (a.e > 0 ? a.e : 0);
  const uint128 den = power_of_ten(-t) << (a.e < 0 ? -a.e : 0);
  return divide_rounded(num, den);
}

// Writes `text` right-aligned in out[0 .. width - 1], blanks before it.
void right_aligned(const char* text, std::size_t length, std::size_t width, char* out) {
  std::memset(out, ' ', width - length);
  std::memcpy(out + width - length, text, length);
}

void format_exponent(uint32_t magnitude, bool negative, int digits, char* out) {
  const Binary b = decompose(magnitude);
  // floor(log10(a)) is floor(log2(a) × log10(2)) or one more.
  const int log2_floor = bit_length(uint64_t{b.m}) - 1 + b.e;
  int p = (log2_floor * 78913) >> 18;
  const uint128 limit = power_of_ten(digits);
  uint128 q = scaled_round(b, digits - 1 - p);
  while (q >= limit) {  // estimate one low, or rounding carried into one more digit
    ++p;
    q = scaled_round(b, digits - 1 - p);
  }
  const int e = p + 1;
  char text[kWidestNumberField];
  std::size_t length = 0;
  if (negative) text[length++] = '-';
  text[length++] = '0';
  text[length++] = '.';
  put_digits(text + length, static_cast<uint32_t>(q), digits);
  length += static_cast<std::size_t>(digits);
  text[length++] = 'E';
  text[length++] = e >= 0 ? '+' : '-';
  put_digits(text + length, static_cast<uint32_t>(e >= 0 ? e : -e), 2);
  length += 2;
  right_aligned(text, length, static_cast<std::size_t>(digits) + 10, out);
}

// The fixed form with `decimals` decimals of a magnitude from L up to U, or
// of zero with Digits - 1. The magnitude × 10^decimals, rounded, has exactly
// Digits digits (zero: all 0), as the thresholds are where one more would
// appear: the text is those digits with a point after Digits - decimals of
// them, or "0." before them all.
template <int Digits>
[[gnu::always_inline]] inline void format_fixed(uint32_t magnitude, bool negative, int decimals,
                                                char* out) {
  uint64_t q = 0;
  if (magnitude != 0) {
    const Binary b = decompose(magnitude);
    const uint64_t scaled = b.m * kPowersOfTen64[static_cast<std::size_t>(decimals)];  // < 2^54
    if (b.e >= 0) {
      q = scaled << b.e;  // an exact integer, with no decimals
    } else {
      const uint64_t half = uint64_t{1} << (-b.e - 1);
      const uint64_t rest = scaled & ((half << 1) - 1);
      q = round_half_even<uint64_t>(scaled >> -b.e, rest > half, rest == half);
    }
  }
  // The text ends at column Digits + 6 of a line of blanks: a sign, the
  // digits with the point after `whole` of them (the decimals moved one
  // place right for it), or "0." before them all.
  const int whole = Digits - decimals;
  const int length = Digits + 1 + int{whole == 0} + int{negative};
  const int start = Digits + 6 - length;
  const int first_digit = start + int{negative} + (whole == 0 ? 2 : 0);
  char line[48];
  std::memset(line, ' ', sizeof line);
  put_digits(line + first_digit, static_cast<uint32_t>(q), Digits);
  char* const point = line + first_digit + whole;
  if (whole == 0) {
    std::memcpy(point - 2, "0.", 2);
  } else {
    char decimals_text[16];
    std::memcpy(decimals_text, point, sizeof decimals_text);
    std::memcpy(point + 1, decimals_text, sizeof decimals_text);
    *point = '.';
  }
  if (negative) line[start] = '-';
  std::memcpy(out, line, Digits + 10);
}

// How many of the thresholds T0, T1, ... a magnitude from L up to U has
// reached: from its decimal order, estimated by its binary one, then
// settled on the thresholds themselves.
template <int Digits>
[[gnu::always_inline]] inline int steps_reached(uint32_t magnitude) {
  constexpr const detail::FieldThresholds& t =
      detail::kFieldThresholds[static_cast<std::size_t>(Digits - kLeastDigits)];
  const int log2_floor = static_cast<int>(magnitude >> 23) - 127;
  int reached = std::clamp(((log2_floor * 78913) >> 18) + 1, 0, Digits);
  while (reached < Digits && magnitude >= t.steps[static_cast<std::size_t>(reached)])
    ++reached;
  while (reached > 0 && magnitude < t.steps[static_cast<std::size_t>(reached - 1)])
    --reached;
  return reached;
}

// NaN, the infinities and the exponent form.
[[gnu::noinline]] void format_beyond_fixed_range(uint32_t bits, int digits, char* out) {
  const auto width = static_cast<std::size_t>(digits) + 10;
  const bool negative = (bits >> 31) != 0;
  const uint32_t magnitude = bits & 0x7FFFFFFFu;
  if (magnitude > kBinary32Infinity) {
    right_aligned("NaN", 3, width, out);
  } else if (magnitude == kBinary32Infinity) {
    negative ? right_aligned("-Infinity", 9, width, out) : right_aligned("Infinity", 8, width, out);
  } else {
    format_exponent(magnitude, negative, digits, out);
  }
}

// The field of Digits digits, its usual fixed form inline.
template <int Digits>
[[gnu::always_inline]] inline void format_field(float value, char* out) {
  constexpr const detail::FieldThresholds& t =
      detail::kFieldThresholds[static_cast<std::size_t>(Digits - kLeastDigits)];
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  const bool negative = (bits >> 31) != 0;
  const uint32_t magnitude = bits & 0x7FFFFFFFu;
  if (magnitude >= t.low && magnitude < t.high) [[likely]] {
    format_fixed<Digits>(magnitude, negative, Digits - steps_reached<Digits>(magnitude), out);
  } else if (magnitude == 0) {
    format_fixed<Digits>(0, negative, Digits - 1, out);
  } else {
    format_beyond_fixed_range(bits, Digits, out);
  }
}

template <int Digits>
void write_cells_of(std::span<const float> values, char* out) {
  constexpr std::size_t kWidth = Digits + 10;
  for (const float value : values) {
    if constexpr (Digits == kLeastDigits) {
      format_g14_4(value, out);
    } else {
      format_field<Digits>(value, out);
    }
    out[kWidth] = '\t';
    out += kWidth + 1;
  }
}

// Calls f with the digits as a constant.
template <typename F>
void with_digits(int digits, F f) {
  switch (digits) {
    case 4:
      return f(std::integral_constant<int, 4>{});
    case 5:
      return f(std::integral_constant<int, 5>{});
    case 6:
      return f(std::integral_constant<int, 6>{});
    case 7:
      return f(std::integral_constant<int, 7>{});
    case 8:
      return f(std::integral_constant<int, 8>{});
    default:
      return f(std::integral_constant<int, 9>{});
  }
}

}  // namespace

void format_real_field(float value, int digits, char* out) {
  with_digits(digits, [&](auto d) { format_field<d()>(value, out); });
}

void NumberField::write_cells(std::span<const float> values, char* out) const {
  with_digits(digits_, [&](auto d) { write_cells_of<d()>(values, out); });
}

namespace detail {

[[gnu::noinline]] void format_g14_4_in_general(float value, char* out) {
  if (format_small_exponent_form(value, out)) return;
  format_field<kG14Width - 10>(value, out);
}

}  // namespace detail
}  // namespace tovel
