#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

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

// The bytes of `word` equal to `byte`; exact in every byte.
inline uint64_t bytes_equal(uint64_t word, char byte) {
  const uint64_t v = word ^ (kByteOnes * static_cast<unsigned char>(byte));
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  return ~(((v & kLow7) + kLow7) | v | kLow7);
}

// The bytes of `word` that are not decimal digits. Exact up to and including
// the first such byte; later marks may be wrong.
inline uint64_t bytes_not_digit(uint64_t word) {
  return ((word + 0x4646464646464646u) | (word - 0x3030303030303030u)) & kByteHighBits;
}

// The number of bytes before the first marked one: 0 to 8.
inline int bytes_before_mark(uint64_t marks) {
  return std::countr_zero(marks) >> 3;
}

// The value of the decimal number written by the first `count` (0 to 8)
// bytes of `word`, which must be digits.
inline uint64_t digits_value(uint64_t word, int count) {
  // Move the digits to the top of the word, zeros taking the place of the
  // bytes before them; two shifts, so that a count of 0 clears the word.
  const int half_shift = 32 - 4 * count;
  uint64_t v = ((word & 0x0F0F0F0F0F0F0F0Fu) << half_shift) << half_shift;
  v = v * 10 + (v >> 8);  // pairs of digits
  return ((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
          ((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >>
         32;
}

}  // namespace tovel
