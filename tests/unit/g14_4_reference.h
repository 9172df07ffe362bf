#pragma once

#include <string>

namespace tovel::testing {

// The G14.4 text of `value`, built independently of the production code: the
// layout thresholds are derived at run time from their definitions, and the
// digits come from the exact decimal expansion of the value (printed by the C
// library with enough digits to be exact), rounded half-to-even on the string.
std::string reference_g14_4(float value);

}  // namespace tovel::testing
