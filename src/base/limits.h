#pragma once

namespace tovel {

// The limits and defaults of a run that the command line and every floor
// below it see alike.

// The points a data file may hold unless --max-points says otherwise, and
// the most it may say.
inline constexpr int kDefaultMaxPoints = 250;
inline constexpr int kMostMaxPoints = 1000000;

// The header lines a data file may have skipped at its top (--skip).
inline constexpr int kMaxSkip = 99;

}  // namespace tovel
