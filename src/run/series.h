#pragma once

#include "collate/accumulators.h"
#include "collate/table_rows.h"
#include "output/held_series.h"
#include "points/file_reading.h"
#include "run/dialogue.h"
#include "run/ending.h"
#include "run/naming.h"
#include "run/progress.h"

namespace tovel {

// What a run's steps talk through, and how they end it.
struct SeriesRun {
  Dialogue& dialogue;
  RunProgress& progress;
  RunEnding& ending;
};

// Collates files 1 to k of the series into `rows`, file by file in their
// order: each is announced ("Input file …"), opened, read to its end as
// `reading` says, and collated: its points in, its row out. With more than
// one of `jobs` the files are read ahead on threads (SeriesReader); the
// output is the same.
// The first file is looked for first; when it is missing, the run stops in
// order, with a warning and a hint when the directory holds what was likely
// meant. The warnings of the series are said as they arise and once it is
// read. Every other way the series ends early ends the run through
// `run.ending`: the stop at a file of too many points, a failure with its
// report, a stop signal. Returns the last file's number of points.
// `form` says whether the table is turned, which the warning of a table
// wider than spreadsheets show looks at.
int collate_series(const SeriesNaming& naming, int k, const FileReading& reading, int jobs,
                   TableRows& rows, ColumnAccumulators& sums, const SeriesRun& run,
                   OutputForm form = {});

}  // namespace tovel
