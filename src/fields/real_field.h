#pragma once

#include <optional>
#include <string_view>

#include "fields/binary32_from_decimal.h"

namespace tovel {

// Reads the real field `field`, all of it (see scan_real_field for its
// rules): the decimal number it writes, rounded once to the nearest binary32
// value, ties to even, or infinity or NaN; no value when the field is not a
// number ("Bad value during floating point read").
std::optional<float> decode_real_field(std::string_view field);

// decode_real_field, with whether the number lay beyond single precision.
std::optional<Binary32> decode_real_value(std::string_view field);

}  // namespace tovel
