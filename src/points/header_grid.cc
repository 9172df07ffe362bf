#include "points/header_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovel {

HeaderGrid::HeaderGrid(const std::vector<DeferredReal>& x, std::size_t points,
                       const std::vector<int>& empty_points)
    : x_(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(points)),
      value_(points),
      tolerance_(points, 0.0),
      empty_(points, false) {
  for (const int at : empty_points)
    empty_[static_cast<std::size_t>(at)] = true;
  for (std::size_t j = 0; j < points; ++j) {
    value_[j] = static_cast<double>(x_[j].value());
    texts_.push_back(x_[j].token_text());
  }
  for (std::size_t j = 0; j < points; ++j) {
    if (empty_[j]) continue;
    double spacing = std::numeric_limits<double>::infinity();
    if (j > 0 && !empty_[j - 1]) spacing = std::abs(value_[j] - value_[j - 1]);
    if (j + 1 < points && !empty_[j + 1]) {
      spacing = std::min(spacing, std::abs(value_[j + 1] - value_[j]));
    }
    if (std::isfinite(spacing)) tolerance_[j] = spacing * 0.01;
  }
}

bool HeaderGrid::same_x_in_general(std::size_t at, const DeferredReal& x, bool empty_line) const {
  if (empty_line || empty_[at] || x.same_text(x_[at])) return true;
  const auto value = static_cast<double>(x.value());
  if (value == value_[at]) return true;
  return std::abs(value - value_[at]) <= tolerance_[at];
}

}  // namespace tovel
