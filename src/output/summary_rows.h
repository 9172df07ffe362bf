#pragma once

#include "collate/accumulators.h"
#include "output/table_writer.h"

namespace tovel {

// Writes the Average, Std Dev and CV % rows for columns 1 to n + 2, where n
// is the last file's number of points and k the number of files. Every cell,
// the last included, is followed by a tab.
void write_summary_rows(TableWriter& table, const ColumnAccumulators& sums, int n, int k);

}  // namespace tovel
