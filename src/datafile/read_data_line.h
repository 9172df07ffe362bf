#pragma once

#include "datafile/data_file.h"
#include "datafile/data_line.h"

namespace tovel {

// Reads the next line of `file` into `line`: its first 80 characters, split
// into tokens, of which the file's line rules pick x, y and, with the first
// two columns, the third value, each read whole as a real field (a missing
// value is 0; x may be the point's number instead). A token read that
// column 80 cuts is refused, since it would be read short; tokens wholly
// beyond column 80 are never seen. A comment line is passed over: it is no
// point, though it counts as a line. A read error anywhere in the line is a
// failure, never its end. While the file watches for decimal commas, `line`
// also gets the sign's word.
//
// By the usual rules, lines of the usual shape are read straight from the
// buffer (read_plain_line); every other line by the general rules
// (read_general_line), which define what every line gives.
ReadOutcome read_data_line(DataLine& line, DataFile& file);

}  // namespace tovel
