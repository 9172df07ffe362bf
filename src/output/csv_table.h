#pragma once

#include <optional>

#include "base/report.h"
#include "output/held_series.h"
#include "output/table_writer.h"

namespace tovel {

// Writes the held series into `csv` turned, as comma-separated values, or,
// with the held form's decimal comma, with semicolons between the fields
// and a decimal comma in each number (RFC 4180: CR LF after each row, a
// field that holds the separator, a quote or a line end quoted with its
// quotes doubled). The header is "x", the files' labels, "Average", "Std
// Dev" and "CV %"; a row for each point holds its x, each file's y value
// there, empty for a file without one, and the statistics of its column;
// the rows "Xmax" and "Ymax" hold the peaks. Each number is the value the
// table's cell shows, in the shortest decimal that reads back to it
// (write_shown_number).
std::optional<Failure> write_turned_csv(const HeldSeries& series, TableWriter& csv);

}  // namespace tovel
