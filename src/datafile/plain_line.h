#pragma once

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

}  // namespace tovel
