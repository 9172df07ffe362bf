#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tovel {

inline constexpr std::size_t kIntegerFieldWidth = 5;

// Reads the I5 integer field from a field text of 0 to 5 characters: blanks
// are ignored wherever they stand, one leading sign is allowed, and any other
// character fails ("Bad value during integer read": no value). An empty or
// all-blank field is 0.
std::optional<int32_t> decode_integer_field(std::string_view field);

}  // namespace tovel
