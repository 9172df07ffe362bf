#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "base/report.h"
#include "collate/accumulators.h"
#include "plot/series_picture.h"
#include "plot/svg_picture.h"

namespace tovel {

// Writes the picture of a collated series into the file `name` (created,
// or replaced), through `buffer`. A name equal to the table's own, which a
// long prefix cut at 32 characters gives, is refused: the picture would
// write over the table. Returns the failure.
std::optional<Failure> write_picture_file(std::string_view name, std::string_view table_name,
                                          const SeriesPicture& picture, const SeriesText& text,
                                          std::span<char> buffer);

}  // namespace tovel
