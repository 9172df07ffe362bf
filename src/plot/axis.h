#pragma once

#include <string>

namespace tovel {

// An axis from `low` to `high`, with ticks at round numbers between them:
// steps of 1, 2 or 5 times a power of ten. Tick i's value is
// (first + i) × digit × 10^exponent.
struct Axis {
  double low = 0;
  double high = 1;
  long long first = 0;  // the first tick, in steps
  int ticks = 0;        // how many
  int digit = 1;        // 1, 2 or 5
  int exponent = 0;

  double value(int i) const;
  // The tick's value as exact decimal text: plain for magnitudes from 1e-5
  // up to 1e7, with an exponent otherwise ("2.5E+08").
  std::string label(int i) const;
};

// The axis for values from `low` to `high` (finite, low <= high), with a
// margin of a few per cent on each side, so that nothing drawn at the
// extremes lies on the frame, and about six ticks. Equal values get an axis
// around them.
Axis axis_for(double low, double high);

}  // namespace tovel
