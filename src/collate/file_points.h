#pragma once

#include <array>
#include <optional>

#include "base/report.h"
#include "collate/accumulators.h"
#include "datafile/data_file.h"
#include "datafile/data_line.h"

namespace tovel {

// One data file read to its end: its points and peak, what the series'
// warnings look at, and how the reading ended. One set is reused from file
// to file, off the stack.
struct FilePoints {
  std::array<float, kMaxPoints> y;
  std::array<DeferredReal, kMaxPoints> x;  // read only for the header row and the peak
  int count = 0;                           // the points read: all of the file's once it is complete
  // The peak: the first point of the highest y above 0, or none (-1), when
  // the table gives it as (0, 0).
  int peak = -1;
  float ymax = 0.0f;

  // How the reading ended.
  enum class End { complete, too_many_points, failed };
  End end = End::complete;
  long stop_line = 0;              // with too_many_points: the 251st point's line
  std::optional<Failure> failure;  // with failed: why
  bool header_like = false;        // with failed: on a refused first line that reads as a header

  // What the warnings of the series look at.
  int trailing_empty_lines = 0;  // the empty lines that end the file
  int empty_lines = 0;           // lines with no value, each read as the point (0, 0)
  long first_empty_line = 0;     // the first of them, from 1
  long decimal_comma_line = 0;   // the first line that looks written with decimal commas
  DecimalCommaWord decimal_comma_word{};

  float xmax() const { return peak < 0 ? 0.0f : x[static_cast<std::size_t>(peak)].value(); }
};

// Reads the data file open in `file` to its end into `points`, past its
// header lines (DataFile::lines_to_skip): the points in line order, up to
// kMaxPoints; the peak, the first of equal maxima, by the strict comparison
// with a start at (0, 0); and what the warnings need. Stops at the first
// failure or at a point beyond kMaxPoints, and says so in `points.end`.
// The file is closed at its end.
void read_file_points(DataFile& file, FilePoints& points);

}  // namespace tovel
