#pragma once

#include <array>
#include <string_view>

#include "collate/accumulators.h"
#include "collate/table_rows.h"
#include "datafile/data_file.h"
#include "datafile/readdata.h"

namespace tovel {

// The values of the file being read; one set for the whole run, kept off the
// stack.
struct FileValues {
  std::array<float, kMaxPoints> y;
  std::array<DeferredReal, kMaxPoints> x;  // read only for the header row and the peak
};

enum class PassOutcome {
  complete,         // the file's row is written
  too_many_points,  // a 251st point was found; nothing of it was kept
  read_failed,      // a line could not be read: see `read`
  table_failed,     // the table took no more
};

struct PassResult {
  PassOutcome outcome;
  int points = 0;                            // n, once complete; those before a failed read
  ReadOutcome read = {ReadStatus::line, 0};  // with read_failed
  long line_number = 0;                      // with too_many_points: the 251st point's line
  // Once complete, what the warnings of a series look at:
  int trailing_empty_lines = 0;  // the empty lines that end the file
  int empty_lines = 0;           // lines with no value, each read as the point (0, 0)
  long first_empty_line = 0;     // the first of them, from 1
  bool positive_peak = false;    // some y is above 0; else the peak is given as (0, 0)
  long decimal_comma_line = 0;   // the first line that looks written with decimal commas
  DecimalCommaWord decimal_comma_word{};
};

// Reads the data file open in `file` to its end: keeps its y values, finds
// its peak, feeds the accumulators and hands its row, labelled `row_label`,
// to the table; the first file's x values also make the header row. The
// file's header lines (DataFile::lines_to_skip) are passed over first. Stops
// at the first failure, which it returns.
PassResult collate_file(bool first_file, std::string_view row_label, DataFile& file,
                        TableRows& table, ColumnAccumulators& sums, FileValues& values);

}  // namespace tovel
