#pragma once

#include <span>

#include "collate/accumulators.h"
#include "output/table_writer.h"
#include "plot/series_picture.h"
#include "run/dialogue.h"
#include "run/naming.h"
#include "run/progress.h"

namespace tovel {

// A series whose files are all collated.
struct CollatedSeries {
  const SeriesNaming& naming;
  int files;
  int last_points;  // the last file's points, which the summary rows cover
  const ColumnAccumulators& sums;
  TableWriter& table;
  const SeriesPicture* picture;  // with --plot, what the picture needs
};

// The end of a run, in the session's order: "Output file is" and the
// two-piece message; the summary rows and the table closed; with --plot,
// the picture, through `spare_buffer`; the copy, which must succeed, and the
// listing; and the last question, answered 0 without asking when
// `ask_to_open` is false. Ends the run.
[[noreturn]] void finish_series(const CollatedSeries& series, bool ask_to_open, Dialogue& dialogue,
                                RunProgress& progress, std::span<char> spare_buffer);

}  // namespace tovel
