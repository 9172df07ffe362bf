#include "fields/binary32_from_decimal.h"

#include <array>
#include <bit>

#include "fields/exact_decimal.h"

namespace tovel {
namespace {

constexpr uint32_t kSignBit = 0x80000000u;
constexpr uint32_t kInfinityBits = 0x7F800000u;

// The bits of a normal binary32 magnitude from its rounded 24-bit mantissa
// (2^24 after a carry) and the weight of its leading bit; infinity when the
// exponent is out of range.
uint32_t normal_bits(uint64_t mantissa, int top) {
  int biased = top + 127;
  if (mantissa >> 24 != 0) {
    mantissa >>= 1;
    ++biased;
  }
  if (biased >= 255) return kInfinityBits;
  return (static_cast<uint32_t>(biased) << 23) | (static_cast<uint32_t>(mantissa) & 0x7FFFFFu);
}

// The bits of the binary32 magnitude nearest to (q + f) × 2^exponent, where
// q > 0 and 0 <= f < 1, f > 0 exactly when `inexact`. q must carry at least
// two bits below the last bit kept, or `inexact` must be false.
uint32_t round_to_binary32(uint128 q, int exponent, bool inexact) {
  const int top = bit_length(q) - 1 + exponent;  // weight of the leading bit
  const int last_kept = top >= -126 ? top - 23 : -149;
  const int shift = last_kept - exponent;
  uint128 mantissa;
  if (shift <= 0) {
    mantissa = q << -shift;
  } else {
    const uint128 rest_mask = shift >= 128 ? ~uint128{0} : (uint128{1} << shift) - 1;
    const uint128 rest = q & rest_mask;
    const uint128 half = shift > 128 ? ~uint128{0} : uint128{1} << (shift - 1);
    mantissa = shift >= 128 ? 0 : q >> shift;
    const bool above_half = rest > half || (rest == half && inexact);
    const bool tie = rest == half && !inexact;
    if (above_half || (tie && (mantissa & 1) != 0)) ++mantissa;
  }
  if (top < -126) {
    // Subnormal; a carry into bit 23 makes the smallest normal, which the
    // same bit pattern already encodes.
    return static_cast<uint32_t>(mantissa);
  }
  return normal_bits(static_cast<uint64_t>(mantissa), top);
}

// An unsigned integer of up to 320 bits: just enough for digits / 10^65
// taken to 28 significant bits.
class Wide {
 public:
  explicit Wide(uint64_t value) { limbs_[0] = value; }

  void multiply(uint32_t factor) {
    uint64_t carry = 0;
    for (auto& limb : limbs_) {
      const uint128 product = uint128{limb} * factor + carry;
      limb = static_cast<uint64_t>(product);
      carry = static_cast<uint64_t>(product >> 64);
    }
  }
  void shift_left(int bits) {
    for (; bits >= 64; bits -= 64) {
      for (std::size_t i = kLimbs - 1; i > 0; --i)
        limbs_[i] = limbs_[i - 1];
      limbs_[0] = 0;
    }
    if (bits == 0) return;
    for (std::size_t i = kLimbs - 1; i > 0; --i) {
      limbs_[i] = (limbs_[i] << bits) | (limbs_[i - 1] >> (64 - bits));
    }
    limbs_[0] <<= bits;
  }
  void shift_right_one() {
    for (std::size_t i = 0; i + 1 < kLimbs; ++i) {
      limbs_[i] = (limbs_[i] >> 1) | (limbs_[i + 1] << 63);
    }
    limbs_[kLimbs - 1] >>= 1;
  }
  // Subtracts `other` when it is not larger; reports whether it did.
  bool subtract_if_not_less(const Wide& other) {
    for (std::size_t i = kLimbs; i-- > 0;) {
      if (limbs_[i] != other.limbs_[i]) {
        if (limbs_[i] < other.limbs_[i]) return false;
        break;
      }
    }
    uint64_t borrow = 0;
    for (std::size_t i = 0; i < kLimbs; ++i) {
      const uint64_t a = limbs_[i];
      const uint64_t b = other.limbs_[i];
      limbs_[i] = a - b - borrow;
      borrow = (a < b || (a == b && borrow != 0)) ? 1 : 0;
    }
    return true;
  }
  int bit_width() const {
    for (std::size_t i = kLimbs; i-- > 0;) {
      if (limbs_[i] != 0) return static_cast<int>(64 * i) + bit_length(limbs_[i]);
    }
    return 0;
  }
  bool is_zero() const { return bit_width() == 0; }

 private:
  static constexpr std::size_t kLimbs = 5;
  std::array<uint64_t, kLimbs> limbs_{};
};

// digits / 10^places for any places up to 65, by long division to 28 bits.
uint32_t divide_by_power_of_ten(uint64_t digits, int places) {
  Wide denominator(1);
  for (int i = 0; i < places; ++i)
    denominator.multiply(10);
  Wide numerator(digits);
  constexpr int kQuotientBits = 28;
  const int scale = denominator.bit_width() - bit_length(digits) + kQuotientBits;
  numerator.shift_left(scale);
  denominator.shift_left(kQuotientBits);
  uint128 q = 0;
  for (int bit = kQuotientBits; bit >= 0; --bit) {
    q <<= 1;
    if (numerator.subtract_if_not_less(denominator)) q |= 1;
    denominator.shift_right_one();
  }
  return round_to_binary32(q, -scale, !numerator.is_zero());
}

// round_to_binary32 for a 64-bit q, without 128-bit arithmetic when the
// result is a normal number (the common case).
uint32_t round_to_normal_binary32(uint64_t q, int exponent, bool inexact) {
  const int length = bit_length(q);
  const int top = length - 1 + exponent;
  if (top < -126) return round_to_binary32(q, exponent, inexact);
  uint64_t mantissa;
  if (length <= 24) {
    mantissa = q << (24 - length);  // exact; only whole q reach here
  } else {
    const int shift = length - 24;
    const uint64_t half = uint64_t{1} << (shift - 1);
    const uint64_t rest = q & ((half << 1) - 1);
    mantissa = q >> shift;
    mantissa += uint64_t{rest > half} | (uint64_t{rest == half} & (uint64_t{inexact} | mantissa));
  }
  return normal_bits(mantissa, top);
}

// digits / 10^places for places 0..10 and digits below 2^63, exactly: for
// any n below 2^63, floor(n / 10^p) = floor(n × ceil(2^(63+l) / 10^p) /
// 2^(63+l)), and for p = 0 the factor 2^63 + 1 used in its place changes
// nothing. A numerator of 63 bits over at most 10^10 leaves a quotient of
// 28 bits or more.
uint32_t divide_by_power_of_ten_up_to_10(uint64_t digits, int places) {
  const detail::PowerOfTenReciprocal& r = detail::kReciprocals[static_cast<std::size_t>(places)];
  const int scale = 63 - bit_length(digits);
  const uint64_t numerator = digits << scale;
  const auto q =
      static_cast<uint64_t>((uint128{numerator} * (r.floor_reciprocal + 1)) >> (63 + r.l));
  return round_to_normal_binary32(q, -scale, numerator - q * r.divisor != 0);
}

// digits / 10^places for places up to 30: 10^30 < 2^100, so a numerator of
// 127 bits leaves a quotient of 26 bits or more.
uint32_t divide_by_power_of_ten_up_to_30(uint64_t digits, int places) {
  const int scale = 127 - bit_length(digits);
  const uint128 numerator = uint128{digits} << scale;
  const uint128 denominator = power_of_ten(places);
  return round_to_binary32(numerator / denominator, -scale, numerator % denominator != 0);
}

uint32_t magnitude_bits(uint64_t digits, int exponent) {
  // Within this window no result can overflow or fall below the normal
  // range, whatever the (at most 20) digits are.
  const bool moderate = exponent >= -17 && exponent <= 18;
  if (!moderate) {
    const int digit_count = decimal_digit_count(digits);
    if (digit_count - 1 + exponent >= 39) return kInfinityBits;  // at least 10^39
    if (digit_count + exponent <= -46) return 0;                 // below 10^-46
  }
  if (exponent >= 0) {
    const uint128 scale = power_of_ten(exponent);
    if (digits > ~uint128{0} / scale) return kInfinityBits;  // at least 2^128
    const uint128 n = digits * scale;
    if (n >> 64 == 0) return round_to_normal_binary32(static_cast<uint64_t>(n), 0, false);
    return round_to_binary32(n, 0, false);
  }
  const int places = -exponent;
  if (places <= 10) return detail::scale_by_reciprocal(digits, places);
  if (places <= 30) return divide_by_power_of_ten_up_to_30(digits, places);
  return divide_by_power_of_ten(digits, places);
}

}  // namespace

namespace detail {

uint32_t divide_by_power_of_ten_exactly(uint64_t digits, int places) {
  if (digits >> 63 != 0) return divide_by_power_of_ten_up_to_30(digits, places);
  return divide_by_power_of_ten_up_to_10(digits, places);
}

float binary32_from_decimal_in_general(uint64_t digits, int exponent, bool negative) {
  const uint32_t sign = negative ? kSignBit : 0;
  if (digits == 0) return std::bit_cast<float>(sign);
  return std::bit_cast<float>(sign | magnitude_bits(digits, exponent));
}

}  // namespace detail

}  // namespace tovel
