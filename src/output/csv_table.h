#pragma once

#include <optional>

#include "base/report.h"
#include "output/held_series.h"
#include "output/table_writer.h"

namespace tovel {

// Writes the held series into `csv` as comma-separated values, turned as
// the held form says, or, with its decimal comma, with semicolons between the fields and a decimal
// comma in each number (RFC 4180:
// CR LF after each row, a field that holds the separator, a quote or a line
// end quoted with its quotes doubled). The rows and columns are the
// table's, each row of as many fields as the header: "file", the x values,
// "Xmax" and "Ymax"; a row for each file, its label, its y values and its
// peak; "Average", "Std Dev" and "CV %" with the statistics of the columns.
// A file shorter than the longest row has empty fields after its y values,
// so that each value stands under its x and each peak under "Xmax" and
// "Ymax"; the header names a point beyond the first file's with an empty
// field. Transposed, the header is "x", the labels and the statistics'
// names, and the rows are the points', then "Xmax" and "Ymax". Each number
// is the value the table's cell shows, in the shortest decimal that reads
// back to it (write_shown_number).
std::optional<Failure> write_csv_table(const HeldSeries& series, TableWriter& csv);

}  // namespace tovel
