#pragma once

#include <optional>
#include <string_view>

#include "base/report.h"
#include "collate/accumulators.h"
#include "collate/table_rows.h"
#include "points/file_points.h"

namespace tovel {

// Collates one file's points, as read_file_points gave them: the first
// file's x values (read with keep_x_values) make the header row, written cell by cell; the file's
// row, labelled `row_label`, follows with its y values and peak, and the
// points and the peak go into the accumulators. Of a file whose reading
// did not complete, the points read go into the accumulators and, for the
// first file, into the header cells, and nothing more is written.
// Returns the table's failure.
std::optional<Failure> collate_points(const FilePoints& points, bool first_file,
                                      std::string_view row_label, TableRows& table,
                                      ColumnAccumulators& sums);

}  // namespace tovel
