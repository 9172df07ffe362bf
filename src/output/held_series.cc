#include "output/held_series.h"

#include <algorithm>
#include <cerrno>

#include "base/fixed_text.h"

namespace tovel {

HeldSeries::HeldSeries(TableRows* next, OutputForm form, NumberField field, int files,
                       TableWriter& table)
    : next_(next),
      form_(form),
      field_(field),
      table_(table),
      files_(static_cast<std::size_t>(files)) {
  rows_.reserve(files_);
}

std::optional<Failure> HeldSeries::begin_header() {
  return next_ != nullptr ? next_->begin_header() : table_.cut_now();
}

std::optional<Failure> HeldSeries::header_cell(float x) {
  x_.push_back(x);
  return next_ != nullptr ? next_->header_cell(x) : std::nullopt;
}

std::optional<Failure> HeldSeries::end_header() {
  return next_ != nullptr ? next_->end_header() : std::nullopt;
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

bool HeldSeries::hold_y_values(const FileRow& row) {
  if (form_.transposed) return hold_point_values(row.y);
  if (rows_.size() == 1 && !held_.reserve(row.y_csv_fields.size() * files_)) return false;
  return held_.append(row.y_csv_fields);
}

std::optional<Failure> HeldSeries::file_row(const FileRow& row) {
  rows_.push_back({.label = std::string(trim_trailing_blanks(row.label)),
                   .first_byte = held_.size(),
                   .points = row.y.size(),
                   .xmax = row.xmax,
                   .ymax = row.ymax});
  shortest_points_ = std::min(shortest_points_, row.y.size());
  if (!hold_y_values(row)) {
    return write_failure(table_.name(), "cannot hold the whole series in memory", ENOMEM);
  }
  return next_ != nullptr ? next_->file_row(row) : std::nullopt;
}

std::string_view HeldSeries::csv_fields(std::size_t i) const {
  const std::size_t end = i + 1 < rows_.size() ? rows_[i + 1].first_byte : held_.size();
  return held_.view().substr(rows_[i].first_byte, end - rows_[i].first_byte);
}

std::optional<Failure> HeldSeries::summary_rows(std::span<const ColumnStatistics> columns) {
  summary_.assign(columns.begin(), columns.end());
  return next_ != nullptr ? next_->summary_rows(columns) : std::nullopt;
}

std::size_t HeldSeries::longest_points() const {
  std::size_t longest = std::max(x_.size(), summary_.size() >= 2 ? summary_.size() - 2 : 0);
  for (const Row& row : rows_)
    longest = std::max(longest, row.points);
  return longest;
}

}  // namespace tovel
