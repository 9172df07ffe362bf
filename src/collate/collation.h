#pragma once

#include "collate/accumulators.h"
#include "datafile/data_file.h"
#include "output/table_writer.h"
#include "run/naming.h"

namespace tovel {

enum class PassOutcome {
  complete,         // the file's row is written
  too_many_points,  // a 251st point was found; nothing of it was kept
};

// Reads data file number i (already open in `file`) to its end: keeps its y
// values, finds its peak, feeds the accumulators and writes its row; file 1
// also writes the header row. Sets n to the file's number of points.
PassOutcome collate_file(int i, const FileNames& names, DataFile& file, TableWriter& table,
                         ColumnAccumulators& sums, int& n);

}  // namespace tovel
