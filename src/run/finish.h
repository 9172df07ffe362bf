#pragma once

#include <span>

#include "collate/accumulators.h"
#include "output/csv_rows.h"
#include "output/held_series.h"
#include "output/table_writer.h"
#include "plot/series_picture.h"
#include "run/naming.h"
#include "run/series.h"
#include "shell/shell.h"

namespace tovel {

// A series whose files are all collated.
struct CollatedSeries {
  const SeriesNaming& naming;
  int files;
  int last_points;  // the last file's points, which the summary rows cover
  const ColumnAccumulators& sums;
  TableRows& rows;               // where the summary rows go: the table, through the picture
  TableWriter& table;            // the table's file, closed once they are in
  const SeriesPicture* picture;  // with --plot, what the picture needs
  const HeldSeries* held;        // with --transpose, every row of the table
  CsvRows* csv_rows;             // with --csv not turned, the csv file's rows
  TableWriter& csv;              // the csv file written beside the table
  OutputForm form;
};

// The end of a run, in the session's order: "Output file is" and the
// two-piece message; the summary rows (turned, the whole table) and the
// table closed, and with --csv the csv file beside it; with --plot, the
// picture, through `spare_buffer`; the copy through `shell`, which must
// succeed, or with --csv turned the csv file, through `spare_buffer` too;
// the listing; and the last question, answered 0 without asking when
// `ask_to_open` is false. A failure or a stop signal on the way
// ends the run through `run.ending`.
void finish_series(const CollatedSeries& series, bool ask_to_open, const SeriesRun& run,
                   const Shell& shell, std::span<char> spare_buffer);

}  // namespace tovel
