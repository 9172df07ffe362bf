#pragma once

#include <string_view>

namespace tovel {

inline constexpr std::size_t kRealFieldWidth = 14;

struct RealFieldResult {
  float value;
  bool ok;  // false: "Bad value during floating point read"
};

// Reads the F14.0 real field from `field`: only its first 14 characters take
// part. Blanks are ignored, a sign alone is +0, the exponent may be introduced
// by E, D or Q (either case) or by its sign alone, and inf, infinity and nan
// are recognised. The value is rounded once to nearest, ties to even.
RealFieldResult decode_real_field(std::string_view field);

}  // namespace tovel
