#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "base/report.h"
#include "collate/accumulators.h"

namespace tovel {

// A file's row: its label, its y values, and its peak. The y values come
// also as the table's cells (each a field and a tab), formatted by the
// reader, ahead of the table, on whichever thread read the file.
struct FileRow {
  std::string_view label;
  std::span<const float> y;
  std::string_view y_cells;
  std::string_view y_csv_fields;  // with --csv, the csv's fields, each after a separator
  float xmax;
  float ymax;
};

// Where the collation hands the table's cells: the header row's x values
// while file 1 is collated, each file's row once its points are in, and the
// statistics of each column once every file is in. Each call returns the
// failure when the table cannot take it, and the run stops there.
class TableRows {
 public:
  virtual ~TableRows() = default;
  virtual std::optional<Failure> begin_header() = 0;
  virtual std::optional<Failure> header_cell(float x) = 0;
  virtual std::optional<Failure> end_header() = 0;
  virtual std::optional<Failure> file_row(const FileRow& row) = 0;
  // The Average, Std Dev and CV % rows: one statistic of each column.
  virtual std::optional<Failure> summary_rows(std::span<const ColumnStatistics> columns) = 0;
};

}  // namespace tovel
