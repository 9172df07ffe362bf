#pragma once

#include <cstdint>

namespace tovel {

// The binary32 value nearest to ±digits × 10^exponent, ties to even, computed
// with integer arithmetic only, so the result does not depend on the
// floating-point unit's rounding mode. Magnitudes beyond the largest finite
// value round to infinity, tiny ones through the subnormals to a signed zero.
float binary32_from_decimal(uint64_t digits, int exponent, bool negative);

}  // namespace tovel
