#pragma once

#include <string>

namespace tovel {

// An axis with ticks at round numbers: steps of 1, 2 or 5 times a power of
// ten, from the tick at or below the lowest value to the one at or above
// the highest. Tick i's value is (first + i) × digit × 10^exponent.
struct Axis {
  long long first = 0;  // the first tick, in steps
  int ticks = 2;        // how many, both ends included
  int digit = 1;        // 1, 2 or 5
  int exponent = 0;

  double value(int i) const;
  double low() const { return value(0); }
  double high() const { return value(ticks - 1); }
  // The tick's value as exact decimal text: plain for magnitudes from 1e-5
  // up to 1e7, with an exponent otherwise ("2.5E+08").
  std::string label(int i) const;
};

// The axis for values from `low` to `high` (finite, low <= high), with about
// six ticks. Equal values get an axis around them.
Axis axis_for(double low, double high);

}  // namespace tovel
