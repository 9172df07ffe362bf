#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/buffered_writer.h"
#include "collate/accumulators.h"
#include "plot/series_picture.h"

namespace tovel {

// The words a picture shows: the prefix in its title, and file i's name
// (from 1) as its curve's title.
struct SeriesText {
  std::string_view prefix;
  std::function<std::string(int)> file_name;
};

// Writes the SVG picture of a collated series, once its summary rows are
// in: each file's curve (or, above
// 50 files, the lowest and highest y of each column), the band of the mean
// ± one standard deviation, the mean as a bold line and each file's peak as
// a dot, over axes with ticks at round numbers, with a title and a legend.
// Columns are drawn by position against the header row's x values, as the
// table's summary rows match them; values that are not finite are left
// out. Up to ten files' curves are named in the legend by their row labels,
// and every curve carries its file's name as a title that a browser shows
// on hover. Returns the error number of a write that fails, or 0.
int write_series_svg(const SeriesPicture& picture, const SeriesText& text, BufferedWriter& out);

}  // namespace tovel
