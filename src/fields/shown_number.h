#pragma once

#include <cstddef>
#include <string_view>

namespace tovel {

// The most characters write_shown_number writes: "-1.1754944e-38".
inline constexpr std::size_t kLongestShownNumber = 16;

// Writes the number that a table's field shows (`field`, its whole text,
// blanks included, as NumberField writes it) as the single-precision value
// nearest to it, in the shortest decimal that reads back to that value, as
// std::to_chars gives it: "     15.17    " is 15.17, "     10.00    " is 10,
// "    0.1235E+05" is 12350; a field that shows a finite value beyond the
// largest float, as "    0.3403E+39" does, the largest float, which is
// nearest to it. Infinity, -Infinity and NaN are written Inf, -Inf
// and NaN, which pandas and R read as numbers. `decimal_mark` stands for
// the point. Writes at most kLongestShownNumber characters to `out` and
// returns their count; a field that shows no number writes nothing.
std::size_t write_shown_number(std::string_view field, char decimal_mark, char* out);

}  // namespace tovel
