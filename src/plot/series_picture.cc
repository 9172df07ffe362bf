#include "plot/series_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/fixed_text.h"

namespace tovel {

SeriesPicture::SeriesPicture(TableRows& table, int files) : table_(table), files_(files) {
  x_.reserve(kDefaultMaxPoints);
  peaks_.reserve(static_cast<std::size_t>(files));
}

std::optional<Failure> SeriesPicture::header_cell(float x) {
  x_.push_back(x);
  return table_.header_cell(x);
}

std::optional<Failure> SeriesPicture::file_row(const FileRow& row) {
  const std::span<const float> y = row.y;
  shortest_points_ = std::min(shortest_points_, static_cast<int>(y.size()));
  if (draws_curves()) {
    curves_.emplace_back(y.begin(), y.end());
    labels_.emplace_back(trim_trailing_blanks(row.label));
  }
  if (row.ymax > 0) peaks_.push_back({row.xmax, row.ymax});
  if (lowest_.size() < y.size()) {
    lowest_.resize(y.size(), kNone);
    highest_.resize(y.size(), kNone);
  }
  for (std::size_t j = 0; j < y.size(); ++j) {
    if (!std::isfinite(y[j])) continue;
    // NaN compares false: the first finite value replaces it.
    if (!(lowest_[j] <= y[j])) lowest_[j] = y[j];
    if (!(highest_[j] >= y[j])) highest_[j] = y[j];
  }
  return table_.file_row(row);
}

std::optional<Failure> SeriesPicture::summary_rows(std::span<const ColumnStatistics> columns) {
  summary_.assign(columns.begin(), columns.end());
  return table_.summary_rows(columns);
}

}  // namespace tovel
