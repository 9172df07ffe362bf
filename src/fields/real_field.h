#pragma once

#include <string_view>

namespace tovel {

struct RealFieldResult {
  float value;
  bool ok;  // false: "Bad value during floating point read"
};

// Reads the real field `field`, all of it (see scan_real_field for its
// rules): the decimal number it writes, rounded once to the nearest binary32
// value, ties to even, or infinity or NaN.
RealFieldResult decode_real_field(std::string_view field);

}  // namespace tovel
