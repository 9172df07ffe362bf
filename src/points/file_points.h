#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/report.h"
#include "datafile/data_file.h"
#include "datafile/data_line.h"
#include "fields/number_field.h"
#include "points/file_reading.h"
#include "points/header_grid.h"

namespace tovel {

// How a data file's points are read: as the series' files are, and as the
// file's place in the series asks.
struct PointRules {
  FileReading reading{};
  bool keep_x_values = false;  // all x values, for the header row of the first file
  // The header's x values, which a later file's are compared with; none for
  // the first file.
  const HeaderGrid* header = nullptr;
};

// One data file read to its end: its points and peak, what the series'
// warnings look at, and how the reading ended. Reused from file to file: it
// grows to the longest file and then allocates no more.
struct FilePoints {
  std::vector<float> y;         // the y values, in line order; count of them are the file's
  std::vector<DeferredReal> x;  // the x values too, with keep_x_values
  // Once the file is complete, its y values as the table's cells, each a
  // number field and a tab: formatted where the file was read, which may be
  // a thread ahead of the table's.
  std::string y_cells;
  std::string y_csv_fields;  // and as the csv's fields, when the reading asks for them
  int count = 0;             // the points read: all of the file's once it is complete
  // The peak: the first point of the highest y above 0, or none (-1), when
  // the table gives it as (0, 0).
  int peak = -1;
  float ymax = 0.0f;
  DeferredReal peak_x;  // the x of the peak, read only when asked for

  // How the reading ended: a file that could not be opened was never read.
  enum class End { complete, too_many_points, failed, not_opened };
  End end = End::complete;
  long stop_line = 0;  // with too_many_points: the line of the first point beyond
  // With too_many_points, without --max-points: the points the file holds, or
  // kMostMaxPoints + 1 when it holds more than kMostMaxPoints.
  long total_points = 0;
  std::optional<Failure> failure;  // with failed and not_opened: why
  bool header_like = false;        // with failed: on a refused first line that reads as a header
  // With header_like: the last line, from the refused one on, that would be
  // refused as a header too.
  long last_header_line = 0;

  // An instrument file's count of blocks; 0 for a text file.
  int blocks = 0;

  // What the warnings of the series look at.
  int trailing_empty_lines = 0;  // the empty lines that end the file
  int empty_lines = 0;           // lines with no value, each read as the point (0, 0)
  long first_empty_line = 0;     // the first of them, from 1
  long decimal_comma_line = 0;   // the first line that looks written with decimal commas
  // With keep_x_values: the values the file's lines hold, as
  // DataLine::values counts them, the fewest and the most (0 for an empty
  // line; a file without points has most_values 0).
  int fewest_values = 0;
  int most_values = 0;
  // The values of x and y that lines lack and read as 0.
  long missing_values = 0;
  long first_missing_line = 0;  // the first line that lacks one, from 1
  DecimalCommaWord decimal_comma_word{};
  // Values beyond single precision: y values, the first file's x values and
  // the x of another file's peak.
  struct OutOfRangeValues {
    long count = 0;
    long first_line = 0;      // the first of them, from 1
    std::string first_token;  // its token, as a warning shows it
  };
  OutOfRangeValues too_large;     // each read as an infinity
  OutOfRangeValues too_small;     // each read as 0
  long peak_line = 0;             // the line of the peak, when there is one
  std::vector<int> empty_points;  // with keep_x_values: the points that were empty lines
  // The first point whose x differs from the header's at its position, as
  // HeaderGrid::same_x has it: its line (0 for none), and both x as written.
  long x_differs_line = 0;
  std::string x_differs_text;
  std::string header_x_text;

  float xmax() const { return peak < 0 ? 0.0f : peak_x.value(); }
  // Read from the first two columns: every line that is not empty holds
  // one value, and there is one.
  bool one_value_a_line() const {
    return count > empty_lines && missing_values == count - empty_lines;
  }
};

// Reads the data file open in `file` to its end into `points`, past its
// header lines, by the line rules of the reading, which `file` is set to:
// the y values in line order, up to the reading's max_points; the peak, the first of equal maxima,
// by the strict comparison with a start at (0, 0); and what the warnings need. Stops at the first
// failure or at a point beyond max_points, and says so in `points.end`. The file is closed at its
// end, and its y values formatted as cells.
void read_file_points(DataFile& file, const PointRules& rules, FilePoints& points);

}  // namespace tovel
