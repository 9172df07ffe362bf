#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/byte_word.h"

namespace tovel {

// The most characters write_shown_number writes: "-3.4028235e+38", and
// room for the eight bytes its fast path stores at once.
inline constexpr std::size_t kLongestShownNumber = 16;

std::size_t write_shown_number_in_general(std::string_view field, char decimal_mark, char* out);

namespace detail {

// The bytes of `word` that are not `byte`; exact in every byte.
inline uint64_t bytes_other_than(uint64_t word, char byte) {
  const uint64_t differ = word ^ (kByteOnes * static_cast<unsigned char>(byte));
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  return (((differ & kLow7) + kLow7) | differ) & kByteHighBits;
}

// The fixed form of a field of four or five digits: its text, at most
// eight bytes ("-0.12346"), ends just before the field's four last blanks.
// Its leading blanks go, and so do the zeros that end its decimals and a
// point left last. So few digits need no more: distinct decimals of them
// are distinct floats, and no exponent form of them is shorter.
inline std::size_t write_short_fixed_form(std::string_view field, char decimal_mark, char* out) {
  uint64_t word = load_word(field.data() + field.size() - 12);
  const int first = bytes_before_mark(bytes_other_than(word, ' '));
  // A fixed form always holds a point, so not every byte is a zero.
  int end = 8 - (std::countl_zero(bytes_other_than(word, '0')) >> 3);
  if (((word >> (8 * end - 8)) & 0xFF) == '.') --end;
  const uint64_t points = (bytes_other_than(word, '.') ^ kByteHighBits) >> 7;  // 1 in each
  word ^= points * static_cast<unsigned char>('.' ^ decimal_mark);
  word >>= 8 * first;
  std::memcpy(out, &word, sizeof word);
  return static_cast<std::size_t>(end - first);
}

}  // namespace detail

// Writes the number that a table's field shows (`field`, its whole text,
// blanks included, as NumberField writes it) as the single-precision value
// nearest to it, in the shortest decimal that reads back to that value, as
// std::to_chars gives it: "     15.17    " is 15.17, "     10.00    " is 10,
// "    0.1235E+05" is 12350; a field that shows a finite value beyond the
// largest float, as "    0.3403E+39" does, the largest float, which is
// nearest to it. Infinity, -Infinity and NaN are written Inf, -Inf and NaN,
// which pandas and R read as numbers. `decimal_mark` stands for the point.
// Writes at most kLongestShownNumber bytes to `out` and returns the count of
// the number's; a field that shows no number writes nothing.
inline std::size_t write_shown_number(std::string_view field, char decimal_mark, char* out) {
  constexpr std::size_t kShortFixedWidth = 5 + 10;
  if (field.size() >= 14 && field.size() <= kShortFixedWidth &&
      (load_word(field.data() + field.size() - 8) >> 32) == 0x20202020u) {
    return detail::write_short_fixed_form(field, decimal_mark, out);
  }
  return write_shown_number_in_general(field, decimal_mark, out);
}

// The numbers of a run of the table's cells (`cells`, each a field of
// `field_width` characters and a tab), each written by write_shown_number
// after a `separator`, as the fields of a csv row: appended to `out`.
void append_shown_numbers(std::string_view cells, std::size_t field_width, char separator,
                          char decimal_mark, std::string& out);

}  // namespace tovel
