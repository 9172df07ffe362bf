#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "base/byte_class.h"

namespace tovel {

// Eight bytes of text handled at once as one word, its first byte lowest.
// Each byte-wise test leaves the high bit of a byte set where the test holds.
static_assert(std::endian::native == std::endian::little);

inline constexpr uint64_t kByteOnes = 0x0101010101010101u;
inline constexpr uint64_t kByteHighBits = 0x8080808080808080u;

inline uint64_t load_word(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The bytes of `word` that belong to `Class`; exact in every byte. The
// class's runs of byte values come from the byte-class table.
template <uint16_t Class>
[[gnu::always_inline]] inline uint64_t bytes_in_class(uint64_t word) {
  constexpr auto ranges = class_ranges<Class>();
  static_assert(
      [] {
        for (const ByteRange r : class_ranges<Class>()) {
          if (r.first == 0 || r.first + r.count > 128) return false;
        }
        return true;
      }(),
      "the word test covers the ASCII bytes after NUL");
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  const uint64_t low = word & kLow7;
  uint64_t marks = 0;
  for (const ByteRange r : ranges) {
    // With the high bit cleared no byte carries into the next: low + (127 -
    // below) reaches 128 when low > below, and (127 + above) - low when
    // low < above. Bytes of 128 and over are excluded by ~word.
    const uint64_t below = r.first - 1u;
    const uint64_t above = r.first + r.count;
    marks |= (low + kByteOnes * (127 - below)) & (kByteOnes * (127 + above) - low);
  }
  return marks & ~word & kByteHighBits;
}

// The bytes of `word` that are not digits. Exact up to and including the
// first such byte; later marks may be wrong. Cheaper than bytes_in_class.
inline uint64_t bytes_not_digit(uint64_t word) {
  constexpr ByteRange kDigits = class_ranges<kDigit>()[0];
  constexpr uint64_t kAboveDigits = kByteOnes * (0x80 - (kDigits.first + kDigits.count));
  return ((word + kAboveDigits) | (word - kByteOnes * kDigits.first)) & kByteHighBits;
}

// The number of bytes before the first marked one: 0 to 8.
inline int bytes_before_mark(uint64_t marks) {
  return std::countr_zero(marks) >> 3;
}

// The value of the eight digits of `word`.
inline uint64_t eight_digits_value(uint64_t word) {
  uint64_t v = word & 0x0F0F0F0F0F0F0F0Fu;
  v = v * 10 + (v >> 8);  // pairs of digits
  return ((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
          ((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >>
         32;
}

// The value of the decimal number written by the first `count` (0 to 8)
// bytes of `word`, which must be digits.
inline uint64_t digits_value(uint64_t word, int count) {
  // Move the digits to the top of the word, zeros taking the place of the
  // bytes before them; two shifts, so that a count of 0 clears the word.
  const int half_shift = 32 - 4 * count;
  return eight_digits_value((word << half_shift) << half_shift);
}

// The value of the decimal number written by the first `count` (1 to 4)
// bytes of `word`, which must be digits: digits_value for an exponent.
inline uint32_t short_digits_value(uint64_t word, int count) {
  // The digits at the top of four bytes, zeros before them.
  uint32_t v = (static_cast<uint32_t>(word) & 0x0F0F0F0Fu) << (32 - 8 * count);
  v = v * 10 + (v >> 8);  // pairs of digits in the first and third bytes
  return (v & 0xFFu) * 100 + ((v >> 16) & 0xFFu);
}

}  // namespace tovel
