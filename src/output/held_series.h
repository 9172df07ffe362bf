#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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
  // Whether the outputs need the whole series held until its end.
  bool holds_series() const { return csv || transposed; }
  char csv_separator() const { return decimal_comma ? ';' : ','; }
  char csv_decimal_mark() const { return decimal_comma ? ',' : '.'; }
};

// The whole table of a series, held until every row of it is known, for
// the layouts that cannot write a row before then: the table turned by a
// quarter (--transpose) and the comma-separated file (--csv). It takes the
// rows the collation hands the table and passes them on unchanged to
// `next`, when there is one. Turned, the y values are held as they are;
// else as the csv's fields, which the reader made from the table's cells.
// Memory failing, the run ends with a report.
class HeldSeries : public TableRows {
 public:
  // `table` is cut as the header begins when no `next` writes to it.
  HeldSeries(TableRows* next, OutputForm form, NumberField field, int files, TableWriter& table);

  std::optional<Failure> begin_header() override;
  std::optional<Failure> header_cell(float x) override;
  std::optional<Failure> end_header() override;
  std::optional<Failure> file_row(const FileRow& row) override;
  std::optional<Failure> summary_rows(std::span<const ColumnStatistics> columns) override;

  struct Row {
    std::string label;           // without its trailing blanks
    std::size_t first_byte = 0;  // not turned: of its held csv fields
    std::size_t points = 0;
    float xmax = 0.0f;
    float ymax = 0.0f;
  };

  OutputForm form() const { return form_; }
  const NumberField& field() const { return field_; }
  std::span<const float> x() const { return x_; }
  std::span<const Row> rows() const { return rows_; }
  // Turned: the files' y values at point j (from 0, below longest_points()),
  // one a file, in their order; file i's is there when has_y(i, j).
  const float* point_values(std::size_t j) const {
    return reinterpret_cast<const float*>(held_.view().data()) + j * files_;
  }
  bool has_y(std::size_t i, std::size_t j) const {
    return j < shortest_points_ || j < rows_[i].points;
  }
  bool every_file_has_y(std::size_t j) const { return j < shortest_points_; }
  // Not turned: the row's y values as the csv's fields, each after a
  // separator.
  std::string_view csv_fields(std::size_t i) const;
  // The statistics of each column: of the last file's points, then of its
  // peak's x and y.
  std::span<const ColumnStatistics> summary() const { return summary_; }
  // The points of the longest row: of the header, of a file, or of the
  // summary rows' columns before the peak's.
  std::size_t longest_points() const;

 private:
  // Holds the row's y values, as values or as csv fields; false when there
  // is no memory for them.
  bool hold_y_values(const FileRow& row);
  bool hold_point_values(std::span<const float> y);

  TableRows* next_;
  OutputForm form_;
  NumberField field_;
  TableWriter& table_;
  std::vector<float> x_;
  std::size_t files_;
  std::vector<Row> rows_;
  std::size_t shortest_points_ = SIZE_MAX;  // of the files' rows held
  // Turned, the files' y values point by point, files_ values a point, so
  // that each row of the turned table is read in order; else the csv
  // fields of each file's row, one row after another.
  LargeBuffer held_;
  std::vector<ColumnStatistics> summary_;
};

}  // namespace tovel
