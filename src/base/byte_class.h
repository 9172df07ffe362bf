#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tovel {

// What a byte means in the texts Tovel reads: the lines of a data file, the
// tokens on them and the fields typed at the console. This table is the one
// place that says which byte is in which class; the scanners read it and the
// word-at-a-time classifiers are derived from it.
enum ByteClass : uint16_t {
  kBlank = 1 << 0,           // ' ': ignored inside a number field
  kSeparator = 1 << 1,       // blank, comma, tab: between the tokens of a data line
  kComma = 1 << 2,           // also ends a numeric field typed at the console
  kLineEnd = 1 << 3,         // LF, CR
  kDigit = 1 << 4,           // 0 to 9
  kPoint = 1 << 5,           // the decimal point
  kSign = 1 << 6,            // + and -
  kExponentLetter = 1 << 7,  // E, D and Q in either case
  kLetter = 1 << 8,          // A to Z and a to z
  // Blank, tab, semicolon: between the tokens of a data line whose commas
  // are decimal marks.
  kDecimalCommaSeparator = 1 << 9,
};

namespace detail {

constexpr void add_class(std::array<uint16_t, 256>& table, const char* members, uint16_t cls) {
  for (const char* p = members; *p != '\0'; ++p)
    table[static_cast<unsigned char>(*p)] |= cls;
}

inline constexpr std::array<uint16_t, 256> kByteClasses = [] {
  std::array<uint16_t, 256> table{};
  add_class(table, " ", kBlank | kSeparator | kDecimalCommaSeparator);
  add_class(table, ",", kComma | kSeparator);
  add_class(table, "\t", kSeparator | kDecimalCommaSeparator);
  add_class(table, ";", kDecimalCommaSeparator);
  add_class(table, "\n\r", kLineEnd);
  add_class(table, "0123456789", kDigit);
  add_class(table, ".", kPoint);
  add_class(table, "+-", kSign);
  add_class(table, "EeDdQq", kExponentLetter);
  add_class(table, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", kLetter);
  return table;
}();

}  // namespace detail

constexpr uint16_t classes_of(char c) {
  return detail::kByteClasses[static_cast<unsigned char>(c)];
}
constexpr bool in_class(char c, uint16_t cls) {
  return (classes_of(c) & cls) != 0;
}

// A letter in lower case; any other byte as it is.
constexpr char lower_case(char c) {
  return in_class(c, kLetter) ? static_cast<char>(c | 0x20) : c;
}

// The members of a class in increasing byte order.
template <uint16_t Class>
constexpr auto class_members() {
  constexpr std::size_t count = [] {
    std::size_t n = 0;
    for (unsigned b = 0; b < 256; ++b)
      n += (detail::kByteClasses[b] & Class) != 0;
    return n;
  }();
  std::array<unsigned char, count> members{};
  std::size_t i = 0;
  for (unsigned b = 0; b < 256; ++b) {
    if ((detail::kByteClasses[b] & Class) != 0) members[i++] = static_cast<unsigned char>(b);
  }
  return members;
}

// A run of consecutive byte values: first, first + 1, …, first + count - 1.
struct ByteRange {
  unsigned char first;
  unsigned count;
};

// A class as the fewest runs of consecutive byte values, which is how the
// vector classifiers test it.
template <uint16_t Class>
constexpr auto class_ranges() {
  constexpr auto members = class_members<Class>();
  constexpr std::size_t count = [&] {
    std::size_t n = 0;
    for (std::size_t i = 0; i < members.size(); ++i)
      n += i == 0 || members[i] != members[i - 1] + 1;
    return n;
  }();
  std::array<ByteRange, count> ranges{};
  std::size_t r = 0;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i == 0 || members[i] != members[i - 1] + 1) {
      ranges[r++] = {members[i], 1};
    } else {
      ++ranges[r - 1].count;
    }
  }
  return ranges;
}

// The value of a digit is its distance from '0': the digits must be exactly
// the ten bytes '0' to '9', or every number would be read wrong.
static_assert(class_ranges<kDigit>().size() == 1 && class_ranges<kDigit>()[0].first == '0' &&
              class_ranges<kDigit>()[0].count == 10);
// A blank inside a field is ignored, and it also separates tokens: tokens
// never hold one. A separator, a line end and the parts of a number are
// distinct classes.
static_assert(in_class(' ', kSeparator) && class_members<kBlank>().size() == 1);
static_assert([] {
  for (unsigned b = 0; b < 256; ++b) {
    const uint16_t c = detail::kByteClasses[b];
    const int roles = ((c & kSeparator) != 0) + ((c & kLineEnd) != 0) + ((c & kDigit) != 0) +
                      ((c & kPoint) != 0) + ((c & kSign) != 0) + ((c & kLetter) != 0);
    if (roles > 1) return false;
    if ((c & kExponentLetter) != 0 && (c & kLetter) == 0) return false;
    if ((c & kComma) != 0 && (c & kSeparator) == 0) return false;
  }
  return true;
}());
// Nothing outside ASCII belongs to a class: a byte-order mark or a UTF-8
// character in a value is never a digit or a separator.
static_assert([] {
  for (unsigned b = 128; b < 256; ++b) {
    if (detail::kByteClasses[b] != 0) return false;
  }
  return detail::kByteClasses[0] == 0;
}());

}  // namespace tovel
