#pragma once

#include "base/report.h"
#include "datafile/line_rules.h"
#include "points/file_points.h"

namespace tovel {

// The failure of a data file whose line was refused, read by `rules`, with
// hints of what the file likely holds and what reads it: header lines and
// the --skip that passes over them, values in double quotes, semicolons
// between values, and decimal points where commas were asked for.
Failure with_value_hints(Failure failure, const FilePoints& points, const LineRules& rules);

}  // namespace tovel
