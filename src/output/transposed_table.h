#pragma once

#include <optional>

#include "base/report.h"
#include "output/held_series.h"
#include "output/table_writer.h"

namespace tovel {

// Writes the held series into `table` turned by a quarter: a header row of
// "X Values", the files' labels and "Average", "Std Dev" and "CV %", each
// right-aligned over the fixed form's digits as "Xmax" is in the usual
// table; then a row for each point, its x value, each file's y value at that
// point and the statistics of its column; then the rows of the peaks'
// x and y, "Xmax" and "Ymax", with their columns' statistics. The cells are
// those of the usual table, each followed by a tab but the last of its row,
// which ends with a line feed; a file without a value at a point, or a point
// without statistics, has a cell of blanks there.
std::optional<Failure> write_transposed_table(const HeldSeries& series, TableWriter& table);

}  // namespace tovel
