#include "datafile/decimal_comma.h"

#include <algorithm>

#include "base/byte_class.h"

namespace tovel {
namespace {

bool blank_or_tab(char c) {
  return in_class(c, kSeparator) && !in_class(c, kComma);
}

// Whether a blank or a tab stands between two of the line's values.
bool values_spaced(std::string_view line) {
  const auto value = [](char c) { return !in_class(c, kSeparator); };
  const auto first = std::find_if(line.begin(), line.end(), value);
  const auto last = std::find_if(line.rbegin(), line.rend(), value).base();
  return first < last && std::any_of(first, last, blank_or_tab);
}

}  // namespace

std::string_view decimal_comma_word(std::string_view line) {
  if (!values_spaced(line)) return {};
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    if (line[i] != ',' || !in_class(line[i - 1], kDigit) || !in_class(line[i + 1], kDigit)) {
      continue;
    }
    std::size_t start = i;
    while (start > 0 && !blank_or_tab(line[start - 1]))
      --start;
    std::size_t end = i;
    while (end < line.size() && !blank_or_tab(line[end]))
      ++end;
    return line.substr(start, end - start);
  }
  return {};
}

void DecimalCommaWord::keep(std::string_view word) {
  size = static_cast<uint8_t>(word.copy(text, sizeof text));
}

}  // namespace tovel
