#pragma once

#include <string>

namespace tovel::testing {

// The G14.4 text of `value`, built independently of the production code: the
// layout thresholds are derived at run time from their definitions, and the
// digits come from the exact decimal expansion of the value (printed by the C
// library with enough digits to be exact), rounded half-to-even on the string.
std::string reference_g14_4(float value);
// The same for the field of `digits` significant digits (4 to 9), by the
// same rules with `digits` in place of 4.
std::string reference_real_field(float value, int digits);

}  // namespace tovel::testing
