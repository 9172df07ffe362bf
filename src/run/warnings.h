#pragma once

#include <string>
#include <string_view>

#include "datafile/line_rules.h"
#include "fields/number_field.h"
#include "points/file_points.h"

namespace tovel {

// The warnings of a series: inputs that are read as specified but may not
// be what their writer meant. Each kind is said at most once per series,
// so a large series never prints a line per file. A warning changes neither
// the table nor the exit status.
class SeriesWarnings {
 public:
  // Of a series whose first file is `first_file`, read by `rules` and
  // written with `field`.
  SeriesWarnings(std::string_view first_file, NumberField field, LineRules rules,
                 bool block_given = false)
      : first_file_(first_file), field_(field), rules_(rules), block_given_(block_given) {}

  // Looks at a file read to its end. A file whose count of points differs
  // from the first file's, the first line that looks written with decimal
  // commas, a header row whose neighbouring cells show the same text for
  // different x, and a first file whose x looks like a row index or whose
  // lines hold one value, are warned of at once.
  void after_file(const FilePoints& points, std::string_view file);
  // Warns of what needs the whole series to count: files with no positive
  // y, empty lines read as points, values missing from lines, a table wider
  // than spreadsheets show, values beyond single precision, and files on
  // another x grid.
  void at_series_end() const;
  // The table is turned: its files are its columns, never too many.
  void set_transposed(bool transposed) { transposed_ = transposed; }

 private:
  // Values of one kind beyond single precision: the first, as
  // FILE:LINE: "TOKEN", and how many more.
  struct OutOfRangeSeen {
    std::string first;
    bool first_negative = false;
    long more = 0;
    void after_file(const FilePoints::OutOfRangeValues& values, std::string_view file);
    void warn_at_end(std::string_view beyond, std::string_view read_as) const;
  };

  void warn_ragged(const FilePoints& points, std::string_view file);
  void warn_header_cells_alike(const FilePoints& first) const;
  void warn_first_columns(const FilePoints& first, std::string_view file);

  std::string first_file_;
  NumberField field_;
  LineRules rules_;
  bool block_given_ = false;  // --block: no warning of files of several blocks
  bool blocks_said_ = false;
  // The first file holds one value a line, and the warning said so: such
  // files are not warned of again, as lacking y or a positive one.
  bool one_value_said_ = false;
  int first_points_ = -1;
  bool ragged_said_ = false;
  bool decimal_comma_said_ = false;
  std::string first_without_peak_;  // the first file with no positive y
  int more_without_peak_ = 0;
  std::string first_empty_line_;  // FILE:LINE of the first empty line read as a point
  long more_empty_lines_ = 0;
  std::string first_missing_value_;  // FILE:LINE of the first line that lacks a value
  long more_missing_values_ = 0;
  int widest_row_ = 0;  // the cells of the table's widest row
  bool transposed_ = false;
  OutOfRangeSeen too_large_;
  OutOfRangeSeen too_small_;
  std::string first_x_difference_;  // FILE:LINE: x is … where the header has …
  int more_x_differences_ = 0;      // the files after it whose x differ
};

// The columns current spreadsheets show.
inline constexpr int kSpreadsheetColumns = 16384;

// How a word with commas is read: "0 and 1" for "0,1", "1, 2 and 3" for
// "1,2,3"; empty pieces, which are no values, are left out.
std::string pieces_read(std::string_view word);

}  // namespace tovel
