#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "datafile/data_file.h"
#include "datafile/plain_line.h"

namespace tovel {

inline constexpr std::size_t kDataLineWidth = 80;

// The up to three tokens of a data line. A token is a run of characters
// other than blank, comma and tab, within the line without its trailing
// blanks; tokens after the third are ignored.
struct LineTokens {
  std::array<std::string_view, 3> token;
  int count = 0;
};
LineTokens split_data_line(std::string_view line);

// Reads the next line of `file` into x, y and z (a missing value is 0) and
// sets endflag to 0; at the end of the file sets endflag to 1 and leaves
// x, y and z alone. A token that is not a number, or a failed read, ends the
// run with the run-time error report.
void readdata(float& x, float& y, float& z, DataFile& file, int& endflag);

// readdata for the collation pass, which needs x only at a new peak and never
// z: they are converted on demand, before the next line is read.
void readdata(DataLine& line, DataFile& file, int& endflag);

}  // namespace tovel
