#pragma once

#include <array>
#include <string_view>

#include "base/input_stream.h"
#include "datafile/data_line.h"

namespace tovel {

// The tokens of a data line that are read. A token is a run of characters
// other than blank, comma and tab, within the line without its trailing
// blanks.
struct LineTokens {
  std::array<std::string_view, kTokensRead> token;
  int count = 0;
};
LineTokens split_data_line(std::string_view line);

// Reads the next line of `in` into `line` by the general rules, which
// define what every line gives: take_field's line rules, split_data_line,
// and fill_data_line on the tokens. The line is judged by its first 80
// characters, and the one after them, before the rest of it is read, so a
// refused line is reported even when it never ends. A comment line, whose
// first character other than blanks and tabs is '#', is passed over.
ReadOutcome read_general_line(InputStream& in, DataLine& line, bool watch_decimal_commas);

}  // namespace tovel
