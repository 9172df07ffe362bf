#include "fields/binary32_from_decimal.h"

#include <algorithm>
#include <cstdlib>

#include "base/byte_class.h"
#include "fields/wide_integer.h"

namespace tovel {
namespace {

// Significant digits beyond this many are folded into one: no half-way
// point between two floats needs more than 113 significant digits, so a
// final non-zero digit in place of the rest leaves the rounding unchanged.
constexpr int kExactDigits = 120;

// Holds 10^165 (the largest divisor: 120 digits to 10^-45) shifted left by
// the 63 bits of the quotient: about 612 bits.
using Wide = WideInteger<10>;

// The decimal as an integer N and a power of ten E: value = N × 10^E.
struct ExactDecimal {
  Wide n;
  int e;
};

ExactDecimal all_digits(const Decimal& decimal) {
  if (decimal.count <= kKeptDigits) return {Wide(decimal.digits), decimal.exponent};
  Wide n(0);
  int taken = 0;
  bool rest_nonzero = false;
  for (const char* p = decimal.significand; taken < decimal.count; ++p) {
    if (!in_class(*p, kDigit)) continue;  // a point or a blank
    if (taken++ < kExactDigits) {
      n.multiply_add(10, static_cast<uint64_t>(*p - '0'));
    } else {
      rest_nonzero = rest_nonzero || *p != '0';
    }
  }
  const int used = std::min(decimal.count, kExactDigits);
  int e = decimal.exponent - (used - kKeptDigits);
  if (rest_nonzero) {
    n.multiply_add(10, 1);
    --e;
  }
  return {n, e};
}

void multiply_by_power_of_ten(Wide& n, int e) {
  for (; e >= kKeptDigits; e -= kKeptDigits)
    n.multiply_add(static_cast<uint64_t>(power_of_ten(kKeptDigits)), 0);
  n.multiply_add(static_cast<uint64_t>(power_of_ten(e)), 0);
}

}  // namespace

namespace detail {

uint32_t exact_magnitude_bits(const Decimal& decimal) {
  ExactDecimal exact = all_digits(decimal);
  Wide numerator = exact.n;
  Wide denominator(1);
  multiply_by_power_of_ten(exact.e >= 0 ? numerator : denominator, std::abs(exact.e));
  // Scaled so that the quotient lies between 2^62 and 2^64.
  const int scale = denominator.bit_width() - numerator.bit_width() + 63;
  if (scale >= 0) {
    numerator.shift_left(scale);
  } else {
    denominator.shift_left(-scale);
  }
  bool inexact = false;
  const auto quotient = static_cast<uint64_t>(divide(numerator, denominator, 64, inexact));
  return round_to_binary32(quotient, -scale, inexact);
}

uint32_t magnitude_bits_in_general(Decimal decimal) {
  // With digits cut after the 19th, the value lies below (digits + 1) ×
  // 10^exponent.
  const Bracket low = bracket(decimal.digits, decimal.exponent);
  const Bracket high =
      decimal.count > kKeptDigits ? bracket(decimal.digits + 1, decimal.exponent) : low;
  const uint32_t bits = round_to_binary32(low.h, low.unit_exponent, false);
  if (high.h <= UINT64_MAX - 2 &&
      bits == round_to_binary32(high.h + 2, high.unit_exponent, false)) {
    return bits;
  }
  return exact_magnitude_bits(decimal);
}

}  // namespace detail
}  // namespace tovel
