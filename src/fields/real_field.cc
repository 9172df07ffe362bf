#include "fields/real_field.h"

#include <bit>
#include <cstdint>

#include "fields/binary32_from_decimal.h"
#include "fields/plain_number.h"

namespace tovel {
namespace {

constexpr RealFieldResult kBadValue{0.0f, false};
constexpr int kLargestExponent = 9999;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_sign(char c) {
  return c == '+' || c == '-';
}
bool is_exponent_letter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == 'Q' || c == 'q';
}
bool is_alphanumeric(char c) {
  return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equals_ignoring_case(std::string_view text, std::string_view lower_word) {
  if (text.size() != lower_word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lower(text[i]) != lower_word[i]) return false;
  }
  return true;
}

// inf, infinity or nan, with at most one parenthesised group (nan only).
RealFieldResult decode_special(std::string_view text, bool negative) {
  std::size_t open = std::string_view::npos;
  std::size_t close = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') {
      if (open != std::string_view::npos) return kBadValue;
      open = i;
    } else if (c == ')') {
      if (open == std::string_view::npos || close != std::string_view::npos) return kBadValue;
      close = i;
    } else if (c == ' ') {
      if (open != std::string_view::npos && close == std::string_view::npos) return kBadValue;
    } else if (!is_alphanumeric(c)) {
      return kBadValue;
    }
  }
  const bool has_group = open != std::string_view::npos;
  if (has_group && close == std::string_view::npos) return kBadValue;
  const std::string_view word = text.substr(0, text.find_first_of(" ("));
  const uint32_t sign = negative ? 0x80000000u : 0;
  if (equals_ignoring_case(word, "nan")) return {std::bit_cast<float>(sign | 0x7FC00000u), true};
  if (!has_group && (equals_ignoring_case(word, "inf") || equals_ignoring_case(word, "infinity"))) {
    return {std::bit_cast<float>(sign | 0x7F800000u), true};
  }
  return kBadValue;
}

}  // namespace

RealFieldResult decode_real_field(std::string_view field) {
  field = field.substr(0, kRealFieldWidth);
  const char* const last = field.data() + field.size();
  if (PlainDecimal number{}; scan_plain_number(field.data(), last, number) == last) {
    return {plain_value(number), true};
  }
  const std::size_t n = field.size();
  std::size_t i = 0;
  const auto skip_blanks = [&] {
    while (i < n && field[i] == ' ')
      ++i;
  };

  skip_blanks();
  if (i == n) return {0.0f, true};
  bool negative = false;
  if (is_sign(field[i])) {
    negative = field[i] == '-';
    ++i;
    skip_blanks();
    if (i == n) return {0.0f, true};  // a sign alone is dropped
  }
  const char first = field[i];
  if (first == 'I' || first == 'i' || first == 'N' || first == 'n') {
    return decode_special(field.substr(i), negative);
  }

  uint64_t digits = 0;  // at most 14 of them
  int fraction_digits = 0;
  bool seen_point = false;
  bool seen_digit = false;
  bool has_exponent = false;
  for (; i < n && !has_exponent; ++i) {
    const char c = field[i];
    if (is_digit(c)) {
      digits = digits * 10 + static_cast<uint64_t>(c - '0');
      seen_digit = true;
      if (seen_point) ++fraction_digits;
    } else if (c == '.') {
      if (seen_point) return kBadValue;
      seen_point = true;
    } else if (c == ' ') {
      continue;
    } else if (is_sign(c)) {
      has_exponent = true;
      --i;  // the sign belongs to the exponent
    } else if (is_exponent_letter(c)) {
      has_exponent = true;
    } else {
      return kBadValue;
    }
  }

  int exponent = 0;
  if (has_exponent) {
    skip_blanks();
    bool exponent_negative = false;
    if (i < n && is_sign(field[i])) {
      exponent_negative = field[i] == '-';
      ++i;
    }
    if (i == n) return kBadValue;
    for (; i < n; ++i) {
      const char c = field[i];
      if (is_digit(c)) {
        if (exponent <= kLargestExponent) exponent = exponent * 10 + (c - '0');
      } else if (c != ' ') {
        return kBadValue;
      }
    }
    if (exponent > kLargestExponent) return kBadValue;
    if (exponent_negative) exponent = -exponent;
  }
  if (!seen_digit) return {negative ? -0.0f : 0.0f, true};
  return {binary32_from_decimal(digits, exponent - fraction_digits, negative), true};
}

}  // namespace tovel
