#include "fields/g14_4.h"

#include <bit>
#include <cstdint>
#include <cstring>

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

// m × 2^e × 10^t rounded to the nearest integer, ties to even. Exact for
// every float magnitude and every t for which the result is below 10^6.
uint128 scaled_round(Binary a, int t) {
  if (uint64_t q = 0; scaled_round_64(a, t, q)) return q;
  if (t >= 0) {
    const uint128 n = a.m * power_of_five(t);
    const int shift = a.e + t;
    return shift >= 0 ? n << shift : shift_right_rounded(n, -shift);
  }
  const uint128 num = uint128{a.m} << (a.e > 0 ? a.e : 0);
  const uint128 den = power_of_ten(-t) << (a.e < 0 ? -a.e : 0);
  return divide_rounded(num, den);
}

void format_exponent(uint32_t bits, bool negative, char* out) {
  const Binary b = decompose(bits);
  // floor(log10(a)) is floor(log2(a) × log10(2)) or one more.
  const int log2_floor = bit_length(uint64_t{b.m}) - 1 + b.e;
  int p = (log2_floor * 78913) >> 18;
  uint128 q = scaled_round(b, 3 - p);
  while (q >= 10000) {  // estimate one low, or rounding carried into a fifth digit
    ++p;
    q = scaled_round(b, 3 - p);
  }
  const int e = p + 1;
  std::memcpy(out, negative ? "   -0." : "    0.", 6);
  put_digits(out + 6, static_cast<uint32_t>(q), 4);
  out[10] = 'E';
  out[11] = e >= 0 ? '+' : '-';
  put_digits(out + 12, static_cast<uint32_t>(e >= 0 ? e : -e), 2);
}

}  // namespace

namespace detail {

void format_g14_4_in_general(float value, char* out) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  const bool negative = (bits >> 31) != 0;
  const uint32_t magnitude_bits = bits & 0x7FFFFFFFu;
  if (magnitude_bits > 0x7F800000u) {
    std::memcpy(out, "           NaN", kG14Width);
  } else if (magnitude_bits == 0x7F800000u) {
    std::memcpy(out, negative ? "     -Infinity" : "      Infinity", kG14Width);
  } else if (magnitude_bits == 0) {
    std::memcpy(out, negative ? "    -0.000    " : "     0.000    ", kG14Width);
  } else {
    format_exponent(magnitude_bits, negative, out);
  }
}

}  // namespace detail
}  // namespace tovel
