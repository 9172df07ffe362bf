#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/large_buffer.h"
#include "collate/table_rows.h"
#include "fields/number_field.h"
#include "output/table_writer.h"

namespace tovel {

// The forms of the outputs beyond the usual table and its copy.
struct OutputForm {
  bool csv = false;         // All_PREFIX.csv as comma-separated values, not a copy
  bool transposed = false;  // both turned by a quarter: x down the first column
  // With csv: semicolons between the fields and a decimal comma in each
  // number, as spreadsheets take them where the comma is the decimal mark.
  bool decimal_comma = false;
  // Not turned, the csv file is written row by row beside the table.
  bool csv_beside_table() const { return csv && !transposed; }
  char csv_separator() const { return decimal_comma ? ';' : ','; }
  char csv_decimal_mark() const { return decimal_comma ? ',' : '.'; }
};

// The whole table of a series, held until every row of it is known, for
// the table turned by a quarter (--transpose), whose rows are the points:
// the rows the collation hands the table, the y values as they are.
// Memory failing, the run ends with a report.
class HeldSeries : public TableRows {
 public:
  // `table`, which is written from what is held at the end, is cut as the
  // header begins, where the usual table would be.
  HeldSeries(OutputForm form, NumberField field, int files, TableWriter& table);

  std::optional<Failure> begin_header() override { return table_.cut_now(); }
  std::optional<Failure> header_cell(float x) override;
  std::optional<Failure> end_header() override { return std::nullopt; }
  std::optional<Failure> file_row(const FileRow& row) override;
  std::optional<Failure> summary_rows(std::span<const ColumnStatistics> columns) override;

  struct Row {
    std::string label;  // without its trailing blanks
    std::size_t points = 0;
    float xmax = 0.0f;
    float ymax = 0.0f;
  };

  OutputForm form() const { return form_; }
  const NumberField& field() const { return field_; }
  std::span<const float> x() const { return x_; }
  std::span<const Row> rows() const { return rows_; }
  // The files' y values at point j (from 0, below longest_points()), one a
  // file, in their order; file i's is there when has_y(i, j).
  const float* point_values(std::size_t j) const {
    return reinterpret_cast<const float*>(held_.view().data()) + j * files_;
  }
  bool has_y(std::size_t i, std::size_t j) const {
    return j < shortest_points_ || j < rows_[i].points;
  }
  bool every_file_has_y(std::size_t j) const { return j < shortest_points_; }
  // The statistics of each column: of the last file's points, then of its
  // peak's x and y.
  std::span<const ColumnStatistics> summary() const { return summary_; }
  // The columns of the summary rows before those of the peak.
  std::size_t summary_points() const { return summary_.size() >= 2 ? summary_.size() - 2 : 0; }
  // The points of the longest row: of the header, of a file, or of the
  // summary rows' columns before the peak's.
  std::size_t longest_points() const;

 private:
  // Holds the row's y values; false when there is no memory for them.
  bool hold_point_values(std::span<const float> y);

  OutputForm form_;
  NumberField field_;
  TableWriter& table_;
  std::vector<float> x_;
  std::size_t files_;
  std::vector<Row> rows_;
  std::size_t shortest_points_ = SIZE_MAX;  // of the files' rows held
  // The files' y values point by point, files_ values a point, so that each
  // row of the turned table is read in order.
  LargeBuffer held_;
  std::vector<ColumnStatistics> summary_;
};

}  // namespace tovel
