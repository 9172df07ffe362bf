#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovel::testing {

// How a file image was read by the two readers.
struct LineReaderComparison {
  std::string difference;  // empty when the readers agree
  int direct = 0;          // lines read straight from the buffer
  int on_grid = 0;         // of them, lines read on the grid of the x texts
  int declined = 0;        // lines the direct reader left to the general one
};

// Reads `image` twice, in reads of at most `chunk` bytes: as a later file's
// points are read (on the grid, where the line's x is the text expected
// there; else the direct reader, and the general reader where it declines)
// and by the general reader alone. Each line must give the same status, the
// same value bits, the same bad field and the same line count. The text
// expected is the line's own x, or, on every third line, another text,
// which the grid must never take.
LineReaderComparison compare_line_readers(std::string_view image, std::size_t chunk);

}  // namespace tovel::testing
