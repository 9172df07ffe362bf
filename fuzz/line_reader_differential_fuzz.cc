// A data file's bytes, any of the 256 byte values, read as read_data_line reads
// them (the direct reader, the general one where it declines) and by the
// general reader alone: both must give the same lines. The first byte sets
// the size of each read, so that lines straddle refills.
#include <cstdint>
#include <string_view>

#include "line_reader_differential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t chunk = data[0] == 0 ? 4096 : data[0];
  const std::string_view image(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (!tovel::testing::compare_line_readers(image, chunk).difference.empty()) __builtin_trap();
  return 0;
}
