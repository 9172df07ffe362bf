#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tovel {

using uint128 = unsigned __int128;

// The number of significant bits of n (0 for n = 0).
constexpr int bit_length(uint64_t n) {
  return static_cast<int>(std::bit_width(n));
}

// An unsigned integer of Limbs × 64 bits, least significant limb first, for
// exact arithmetic beyond 128 bits: the table of powers of ten is built with
// it at compile time, and decimal numbers the fast conversion cannot settle
// are converted with it. Results that do not fit are cut, silently: callers
// size it for their largest value.
template <std::size_t Limbs>
class WideInteger {
 public:
  constexpr WideInteger() = default;
  constexpr explicit WideInteger(uint64_t value) { limbs_[0] = value; }

  // this = this × factor + addend.
  constexpr void multiply_add(uint64_t factor, uint64_t addend) {
    uint64_t carry = addend;
    for (auto& limb : limbs_) {
      const uint128 product = uint128{limb} * factor + carry;
      limb = static_cast<uint64_t>(product);
      carry = static_cast<uint64_t>(product >> 64);
    }
  }

  // this = this / divisor, cut; returns the remainder.
  constexpr uint64_t divide_by(uint64_t divisor) {
    uint64_t remainder = 0;
    for (std::size_t i = Limbs; i-- > 0;) {
      const uint128 part = uint128{remainder} << 64 | limbs_[i];
      limbs_[i] = static_cast<uint64_t>(part / divisor);
      remainder = static_cast<uint64_t>(part % divisor);
    }
    return remainder;
  }

  constexpr void shift_left(int bits) {
    const auto whole = static_cast<std::size_t>(bits / 64);
    const int part = bits % 64;
    for (std::size_t i = Limbs; i-- > 0;) {
      const uint64_t from = i >= whole ? limbs_[i - whole] : 0;
      const uint64_t below = i >= whole + 1 ? limbs_[i - whole - 1] : 0;
      limbs_[i] = part == 0 ? from : (from << part) | (below >> (64 - part));
    }
  }

  constexpr void shift_right_one() {
    for (std::size_t i = 0; i + 1 < Limbs; ++i)
      limbs_[i] = (limbs_[i] >> 1) | (limbs_[i + 1] << 63);
    limbs_[Limbs - 1] >>= 1;
  }

  // Subtracts `other` when it is not larger; reports whether it did.
  constexpr bool subtract_if_not_less(const WideInteger& other) {
    for (std::size_t i = Limbs; i-- > 0;) {
      if (limbs_[i] != other.limbs_[i]) {
        if (limbs_[i] < other.limbs_[i]) return false;
        break;
      }
    }
    uint64_t borrow = 0;
    for (std::size_t i = 0; i < Limbs; ++i) {
      const uint64_t a = limbs_[i];
      const uint64_t b = other.limbs_[i];
      limbs_[i] = a - b - borrow;
      borrow = (a < b || (a == b && borrow != 0)) ? 1 : 0;
    }
    return true;
  }

  // Bit n, and whether any bit below bit n is set.
  constexpr bool bit(int n) const {
    return ((limbs_[static_cast<std::size_t>(n / 64)] >> (n % 64)) & 1) != 0;
  }
  constexpr bool any_bit_below(int n) const {
    const auto whole = static_cast<std::size_t>(n / 64);
    for (std::size_t i = 0; i < whole; ++i) {
      if (limbs_[i] != 0) return true;
    }
    const int part = n % 64;
    return part != 0 && (limbs_[whole] & ((uint64_t{1} << part) - 1)) != 0;
  }

  constexpr int bit_width() const {
    for (std::size_t i = Limbs; i-- > 0;) {
      if (limbs_[i] != 0) return static_cast<int>(64 * i) + bit_length(limbs_[i]);
    }
    return 0;
  }
  constexpr bool is_zero() const { return bit_width() == 0; }

  // The 128 bits from bit `first` up.
  constexpr uint128 bits_from(int first) const {
    WideInteger copy = *this;
    for (int i = 0; i < first; ++i)
      copy.shift_right_one();
    return uint128{copy.limbs_[1]} << 64 | copy.limbs_[0];
  }

 private:
  uint64_t limbs_[Limbs] = {};
};

// The quotient of num / den to `bits` bits (at most 128), and whether a
// remainder was left. num must be below den × 2^bits, and den × 2^(bits-1)
// must fit.
template <std::size_t Limbs>
constexpr uint128 divide(WideInteger<Limbs> num, WideInteger<Limbs> den, int bits, bool& inexact) {
  den.shift_left(bits - 1);
  uint128 quotient = 0;
  for (int i = 0; i < bits; ++i) {
    quotient = quotient << 1 | uint128{num.subtract_if_not_less(den)};
    den.shift_right_one();
  }
  inexact = !num.is_zero();
  return quotient;
}

}  // namespace tovel
