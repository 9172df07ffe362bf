#pragma once

#include <cstddef>
#include <span>

#include "base/line_taker.h"
#include "datafile/data_line.h"

namespace tovel {

// Reads the next line of `in` straight from its buffer when it lies wholly
// there, its line end comes within its first 80 characters, and its first
// three tokens are numbers. Such a line gets the values, and the decimal
// comma's word, that the general reader (take_line, split_data_line,
// scan_real_field, decimal_comma_word) gives it. Returns false,
// taking nothing, for any other line, which is left to the general reader;
// `line` is then undefined.
bool read_plain_line(InputStream& in, DataLine& line, bool watch_decimal_commas);

// Reads lines as read_plain_line does while each is the usual line of a
// later file, one for each of the texts `x` in turn: past any separators,
// the line begins with that text (the header's x at its point), then a y
// within single precision and perhaps a third value, both numbers of the
// usual shapes (scan_usual_number), and nothing more within its first 80
// characters before its line end; when decimal commas are watched for, it
// holds nothing that looks like one. Such a line gives read_plain_line's y
// and nothing that the series' warnings look at: y[i] gets the y of the
// line of x[i]. Returns how many lines were read and taken; the first line
// that is not such a line is left untaken.
std::size_t read_plain_points(InputStream& in, std::span<const TokenText> x,
                              bool watch_decimal_commas, float* y);

}  // namespace tovel
