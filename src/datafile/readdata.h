#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "datafile/data_file.h"
#include "datafile/plain_line.h"

namespace tovel {

// The up to three tokens of a data line. A token is a run of characters
// other than blank, comma and tab, within the line without its trailing
// blanks; tokens after the third are ignored.
struct LineTokens {
  std::array<std::string_view, 3> token;
  int count = 0;
};
LineTokens split_data_line(std::string_view line);

enum class ReadStatus {
  line,         // the line's values are in `line`
  end,          // the file has no further line; `line` is left alone
  bad_value,    // a token is not a number: "Bad value during floating point read"
  read_failed,  // the file could not be read
};

// What readdata found, with what a report of a failure needs.
struct ReadOutcome {
  // The token's characters are left alone: written only for a bad value.
  ReadOutcome(ReadStatus s, long line = 0, std::string_view text = {})
      : status(s), line_number(line), failure_text(text) {}

  ReadStatus status;
  long line_number = 0;           // the line at fault, from 1
  std::string_view failure_text;  // with read_failed: the system's text
  char field[kDataLineWidth];     // with bad_value: the token, field_size long
  std::size_t field_size = 0;
  std::string_view bad_field() const { return {field, field_size}; }
};

// Reads the next line of `file` into `line`: its first 80 characters, split
// into up to three tokens, each read whole as a real field (a missing value
// is 0). A read error anywhere in the line is a failure, never its end.
// Lines of the usual shape are read straight from the buffer
// (read_plain_line); read_general_line defines what every line gives.
ReadOutcome readdata(DataLine& line, DataFile& file);

// readdata by the general rules alone: take_field, split_data_line and
// scan_real_field on each token.
ReadOutcome read_general_line(InputStream& in, DataLine& line);

}  // namespace tovel
