#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovel::testing {

// How a file image was read by the two readers.
struct LineReaderComparison {
  std::string difference;  // empty when the readers agree
  int direct = 0;          // lines read straight from the buffer
  int declined = 0;        // lines the direct reader left to the general one
};

// Reads `image` twice, in reads of at most `chunk` bytes: as read_data_line does
// (the direct reader, and the general reader where it declines) and by the
// general reader alone. Each line must give the same status, the same value
// bits, the same bad field and the same line count.
LineReaderComparison compare_line_readers(std::string_view image, std::size_t chunk);

}  // namespace tovel::testing
