#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "datafile/data_line.h"

namespace tovel {

// The header row's x values, those of the first file, against which each
// later file's x values are compared point by point: columns are matched by
// position, so a file on another x grid puts its y values under x values
// they were not measured at.
class HeaderGrid {
 public:
  // The first file's x values as read, and the points of it that were
  // empty lines, which are not compared.
  HeaderGrid(const std::vector<DeferredReal>& x, std::size_t points,
             const std::vector<int>& empty_points);

  std::size_t size() const { return x_.size(); }
  // Whether the point at `at` (from 0, below size()) has the header's x:
  // the same text, or a value no farther from the header's than 1 % of the
  // header's spacing there (the smaller distance to a neighbour; for a
  // header of one point, or equal neighbours, the very value). An empty
  // line, the file's or the header's, always has it.
  bool same_x(std::size_t at, const DeferredReal& x, bool empty_line) const {
    return x.same_text(x_[at]) || same_x_in_general(at, x, empty_line);
  }
  // The header's texts, point by point, for the reader that takes a later
  // file's line when its x is that very text: the usual series' every point.
  std::span<const TokenText> texts() const { return texts_; }
  // same_x for the points whose text differs from the header's.
  bool same_x_in_general(std::size_t at, const DeferredReal& x, bool empty_line) const;
  const DeferredReal& x(std::size_t at) const { return x_[at]; }

 private:
  std::vector<DeferredReal> x_;
  std::vector<TokenText> texts_;
  std::vector<double> value_;
  std::vector<double> tolerance_;  // 0: only the very value
  std::vector<bool> empty_;
};

}  // namespace tovel
