#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tovel::testing {

// A real field decoded a second way, for differential checks: the
// field is rewritten into a plain decimal work text (sign, mantissa digits
// with at most one point, e and a four-digit exponent) and that text is
// converted by the C library's correctly rounding strtof, in round-to-
// nearest. Returns the result's bits, or nothing when the field is rejected.
std::optional<uint32_t> reference_real_field_bits(std::string_view text);

}  // namespace tovel::testing
