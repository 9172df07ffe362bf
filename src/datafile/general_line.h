#pragma once

#include <array>
#include <string_view>

#include "base/byte_class.h"
#include "base/line_taker.h"
#include "datafile/data_line.h"
#include "datafile/line_rules.h"

namespace tovel {

// The tokens of a data line: runs of characters other than `separators`
// (by default blank, comma and tab), within the line without its trailing
// blanks. The first kMostColumns are kept, and all are counted.
struct LineTokens {
  std::array<std::string_view, kMostColumns> token;
  int count = 0;
};
LineTokens split_data_line(std::string_view line, uint16_t separators = kSeparator);

// Reads the next line of `in` into `line` by the general rules, which
// define what every line gives: take_line's line rules, split_data_line,
// and fill_data_line on the tokens that `rules` picks. The line is judged
// by its first 80 characters, and the one after them, before the rest of
// it is read, so a refused line is reported even when it never ends; the
// rest is then left unread. A comment line, whose first character other
// than blanks and tabs is '#', is passed over.
ReadOutcome read_general_line(InputStream& in, DataLine& line, const LineRules& rules,
                              bool watch_decimal_commas);

// After read_general_line refused a line: takes what it left of the line,
// so that reading goes on at the next one.
TakeStatus take_rest_of_refused_line(InputStream& in, const ReadOutcome& refused);

}  // namespace tovel
