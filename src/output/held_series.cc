#include "output/held_series.h"

#include <algorithm>
#include <cerrno>

#include "base/fixed_text.h"

namespace tovel {

HeldSeries::HeldSeries(OutputForm form, NumberField field, int files, TableWriter& table)
    : form_(form), field_(field), table_(table), files_(static_cast<std::size_t>(files)) {
  rows_.reserve(files_);
}

std::optional<Failure> HeldSeries::header_cell(float x) {
  x_.push_back(x);
  return std::nullopt;
}

bool HeldSeries::hold_point_values(std::span<const float> y) {
  const std::size_t file = rows_.size() - 1;
  // Files of the first one's length fill the room made for them at once.
  if (file == 0 && !held_.reserve(y.size() * files_ * sizeof(float))) return false;
  if (!held_.grow_to(y.size() * files_ * sizeof(float))) return false;
  float* const values = reinterpret_cast<float*>(held_.data());
  for (std::size_t j = 0; j < y.size(); ++j)
    values[j * files_ + file] = y[j];
  return true;
}

std::optional<Failure> HeldSeries::file_row(const FileRow& row) {
  rows_.push_back({.label = std::string(trim_trailing_blanks(row.label)),
                   .points = row.y.size(),
                   .xmax = row.xmax,
                   .ymax = row.ymax});
  shortest_points_ = std::min(shortest_points_, row.y.size());
  if (!hold_point_values(row.y)) {
    return write_failure(table_.name(), "cannot hold the whole series in memory", ENOMEM);
  }
  return std::nullopt;
}

std::optional<Failure> HeldSeries::summary_rows(std::span<const ColumnStatistics> columns) {
  summary_.assign(columns.begin(), columns.end());
  return std::nullopt;
}

std::size_t HeldSeries::longest_points() const {
  std::size_t longest = std::max(x_.size(), summary_points());
  for (const Row& row : rows_)
    longest = std::max(longest, row.points);
  return longest;
}

}  // namespace tovel
