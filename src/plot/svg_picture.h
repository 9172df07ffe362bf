#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/buffered_writer.h"
#include "collate/accumulators.h"
#include "plot/series_picture.h"

namespace tovel {

// Writes the SVG picture of a collated series of `files` files, the last of
// which has `last_points` points: each file's curve (or, above 50 files, the
// lowest and highest y of each column), the band of the mean ± one standard
// deviation, the mean as a bold line and each file's peak as a dot, over
// axes with ticks at round numbers, with a title and a legend. Columns are
// drawn by position against the header row's x values, as the table's
// summary rows match them; values that are not finite are left out.
// Up to ten files' curves are named in the legend by their row labels, and
// every curve carries its file's name, `file_name(i)` for file i (from 1),
// as a title that a browser shows on hover. Returns false when a write
// fails, with errno set.
bool write_series_svg(const SeriesPicture& picture, const ColumnAccumulators& sums, int last_points,
                      int files, std::string_view prefix,
                      const std::function<std::string(int)>& file_name, BufferedWriter& out);

}  // namespace tovel
