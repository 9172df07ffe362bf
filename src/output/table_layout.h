#pragma once

#include <span>
#include <string_view>

#include "collate/accumulators.h"
#include "collate/table_rows.h"
#include "output/table_writer.h"

namespace tovel {

// The least width of the row labels' column.
inline constexpr std::size_t kLeastLabelWidth = 10;

// The table's layout: rows of cells separated by tabs, each row ending with
// a line feed. Every row begins with its label in a column of its own,
// padded to the labels' width, at least kLeastLabelWidth. The header row is "X Values >", the first
// file's x values, "      Xmax" and "      Ymax"; each file's row is its label, its y values, xmax
// and ymax; the summary rows follow, each cell followed by a tab.
class TableLayout : public TableRows {
 public:
  explicit TableLayout(TableWriter& table, std::size_t label_width = kLeastLabelWidth)
      : table_(table), label_width_(label_width) {}

  std::optional<Failure> begin_header() override;
  std::optional<Failure> header_cell(float x) override;
  std::optional<Failure> end_header() override;
  std::optional<Failure> file_row(const FileRow& row) override;
  std::optional<Failure> summary_rows(std::span<const ColumnStatistics> columns) override;

 private:
  // The table's failure when a write returned false.
  std::optional<Failure> failure_unless(bool written) const;
  // A row's label and the tab after it.
  bool write_label(std::string_view label);

  TableWriter& table_;
  std::size_t label_width_;
};

}  // namespace tovel
