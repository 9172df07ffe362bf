#include "output/held_series.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "base/fixed_text.h"

namespace tovel {
HeldSeries::HeldSeries(TableRows* next, NumberField field, int files, std::string_view table_name)
    : next_(next), field_(field), table_name_(table_name) {
  rows_.reserve(static_cast<std::size_t>(files));
}

std::optional<Failure> HeldSeries::begin_header() {
  return next_ != nullptr ? next_->begin_header() : std::nullopt;
}

std::optional<Failure> HeldSeries::header_cell(float x) {
  x_.push_back(x);
  return next_ != nullptr ? next_->header_cell(x) : std::nullopt;
}

std::optional<Failure> HeldSeries::end_header() {
  return next_ != nullptr ? next_->end_header() : std::nullopt;
}

std::optional<Failure> HeldSeries::file_row(const FileRow& row) {
  try {
    if (rows_.empty()) {
      // Files of the first one's length fill the room held for them at once.
      cells_.reserve(row.y_cells.size() * rows_.capacity());
    }
    rows_.push_back({.label = std::string(trim_trailing_blanks(row.label)),
                     .first_cell = cells_.size() / field_.cell_width(),
                     .points = row.y.size(),
                     .xmax = row.xmax,
                     .ymax = row.ymax});
    cells_.append(row.y_cells);
  } catch (const std::bad_alloc&) {
    return write_failure(table_name_, "cannot hold the whole series in memory", ENOMEM);
  }
  return next_ != nullptr ? next_->file_row(row) : std::nullopt;
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
