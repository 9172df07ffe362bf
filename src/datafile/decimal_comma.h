#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "datafile/line_rules.h"

namespace tovel {

// The sign that a line's commas may be decimal commas, as some locales
// write them (0,1<TAB>0,0104): a comma between two digits, on a line whose
// values are also separated by a blank or a tab. Commas always separate
// values, so such a line is read as more values than it was meant to hold.
// Returns the blank- or tab-delimited word that holds the first such comma,
// or an empty view when the line (its first 80 characters) shows no sign.
std::string_view decimal_comma_word(std::string_view line);

// A word kept from a data line that shows the sign.
struct DecimalCommaWord {
  DecimalCommaWord() {}  // leaves the text alone: a line reader makes one per line
  char text[kDataLineWidth];
  uint8_t size = 0;  // 0: the line shows no sign
  void keep(std::string_view word);
  std::string_view view() const { return {text, size}; }
};

}  // namespace tovel
