#pragma once

#include <string>

#include "base/limits.h"
#include "datafile/line_rules.h"
#include "fields/number_field.h"

namespace tovel {

// How every data file of a series is read, as the command line sets it: one
// value that goes from the options to the reader of each file unchanged.
struct FileReading {
  int lines_to_skip = 0;               // --skip: the header lines at the top of each file
  LineRules line_rules{};              // --columns and --decimal-comma
  int max_points = kDefaultMaxPoints;  // --max-points: a point beyond these stops the reading
  // Whether --max-points was given; without it, a stop at a file of too many
  // points counts the file's points on, for the hint that lets them in.
  bool max_points_given = false;
  NumberField field{};  // --digits: the field of the y values' cells
  // The texts of the y values that a file's reading ends with: the table's
  // cells, but for a table turned (--transpose), which is written from the
  // values at its end; and with --csv, the csv's fields, each after
  // `csv_separator` and with `csv_decimal_mark`, none without a separator.
  bool y_cells = true;
  char csv_separator = '\0';
  char csv_decimal_mark = '.';
  // Which files are instrument files, read through xylib: none, every file
  // (--format NAME), or each without a text extension (--files).
  enum class Instruments { none, all, by_extension };
  Instruments instruments = Instruments::none;
  std::string format;        // --format: xylib's name of their format; empty: recognised
  int block = 1;             // --block N: the block of an instrument file that is read
  bool block_given = false;  // without --block, a file of several blocks is warned of
};

}  // namespace tovel
