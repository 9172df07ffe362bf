#include "fields/decimal.h"

#include <algorithm>

#include "base/byte_class.h"
#include "base/byte_word.h"
#include "fields/powers.h"

namespace tovel {
namespace {

constexpr int kLargestExponent = 9999;

bool equals_ignoring_case(std::string_view text, std::string_view lower_word) {
  return text.size() == lower_word.size() &&
         std::equal(text.begin(), text.end(), lower_word.begin(),
                    [](char a, char b) { return lower_case(a) == b; });
}

// inf, infinity or nan: the rest of the field, read as a word. Letters,
// digits and blanks, and one parenthesised group without blanks in it,
// which only nan may carry.
bool scan_special(std::string_view text, Decimal& decimal) {
  std::size_t open = std::string_view::npos;
  std::size_t close = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') {
      if (open != std::string_view::npos) return false;
      open = i;
    } else if (c == ')') {
      if (open == std::string_view::npos || close != std::string_view::npos) return false;
      close = i;
    } else if (in_class(c, kBlank)) {
      if (open != std::string_view::npos && close == std::string_view::npos) return false;
    } else if (!in_class(c, kLetter | kDigit)) {
      return false;
    }
  }
  const bool has_group = open != std::string_view::npos;
  if (has_group && close == std::string_view::npos) return false;
  std::size_t word_end = 0;
  while (word_end < text.size() && !in_class(text[word_end], kBlank) && text[word_end] != '(')
    ++word_end;
  const std::string_view word = text.substr(0, word_end);
  if (equals_ignoring_case(word, "nan")) {
    decimal.kind = Decimal::Kind::nan;
    return true;
  }
  if (!has_group && (equals_ignoring_case(word, "inf") || equals_ignoring_case(word, "infinity"))) {
    decimal.kind = Decimal::Kind::infinity;
    return true;
  }
  return false;
}

// The exponent from its letter or its sign on: blanks, an optional sign,
// then digits and blanks, of which there must be at least one. Magnitudes
// above 9999 fail, however many digits write them.
bool scan_exponent(const char* p, const char* last, int& exponent) {
  p += in_class(*p, kExponentLetter);
  while (p != last && in_class(*p, kBlank))
    ++p;
  bool negative = false;
  if (p != last && in_class(*p, kSign)) negative = *p++ == '-';
  if (p == last) return false;
  int magnitude = 0;
  for (; p != last; ++p) {
    if (in_class(*p, kDigit)) {
      magnitude = std::min(magnitude * 10 + (*p - '0'), kLargestExponent + 1);
    } else if (!in_class(*p, kBlank)) {
      return false;
    }
  }
  if (magnitude > kLargestExponent) return false;
  exponent = negative ? -magnitude : magnitude;
  return true;
}

// The mantissa: digits with at most one point, blanks ignored, up to its
// end, an exponent letter (passed over) or a sign (left for the exponent).
// Fills the decimal's digits, count and the exponent they imply; returns
// where the exponent begins (the field's end without one), or nullptr.
const char* scan_mantissa(const char* p, const char* last, Decimal& decimal) {
  uint64_t digits = 0;
  int count = 0;     // significant digits
  int fraction = 0;  // digits after the point
  bool seen_point = false;
  for (; p != last; ++p) {
    const uint16_t classes = classes_of(*p);
    if ((classes & kDigit) != 0) {
      fraction += seen_point;
      if (count == 0 && *p == '0') continue;  // not yet significant
      if (count == 0) decimal.significand = p;
      if (++count <= kKeptDigits) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    } else if ((classes & kPoint) != 0) {
      if (seen_point) return nullptr;
      seen_point = true;
    } else if ((classes & (kSign | kExponentLetter)) != 0) {
      break;
    } else if ((classes & kBlank) == 0) {
      return nullptr;
    }
  }
  decimal.digits = digits;
  decimal.count = count;
  decimal.exponent = -fraction + std::max(count - kKeptDigits, 0);
  return p;
}

}  // namespace

bool scan_real_field(std::string_view field, Decimal& decimal) {
  decimal = Decimal{};
  const char* p = field.data();
  const char* const last = p + field.size();
  const auto skip_blanks = [&] {
    while (p != last && in_class(*p, kBlank))
      ++p;
  };
  skip_blanks();
  if (p == last) return true;
  if (in_class(*p, kSign)) {
    decimal.negative = *p++ == '-';
    skip_blanks();
    if (p == last) {
      decimal.negative = false;  // a sign alone is dropped
      return true;
    }
  }
  if (lower_case(*p) == 'i' || lower_case(*p) == 'n') return scan_special({p, last}, decimal);

  int exponent = 0;
  if (p = scan_mantissa(p, last, decimal); p == nullptr) return false;
  if (p != last && !scan_exponent(p, last, exponent)) return false;
  decimal.exponent += exponent;
  return true;
}

namespace detail {

ScannedField scan_unusual_field(const char* first, const char* last) {
  ScannedField scanned{};
  scanned.number =
      scan_real_field({first, static_cast<std::size_t>(last - first)}, scanned.decimal);
  return scanned;
}

template <Scan Wanted>
const char* take_digit_words(const char* p, uint64_t& digits) {
  for (int n = 8; n == 8; p += n)
    n = take_digit_word<Wanted>(p, digits);
  return p;
}

template const char* take_digit_words<Scan::decimal>(const char*, uint64_t&);
template const char* take_digit_words<Scan::check>(const char*, uint64_t&);

}  // namespace detail
}  // namespace tovel
