#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "collate/table_rows.h"
#include "fields/number_field.h"

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
};

// The whole table of a series, held until every row of it is known, for
// the layouts that cannot write a row before then: the table turned by a
// quarter (--transpose) and the comma-separated file (--csv). It takes the
// rows the collation hands the table and passes them on unchanged to
// `next`, when there is one. The y values are held as the table's cells,
// which the reader formatted, so each layout shows what the table shows.
class HeldSeries : public TableRows {
 public:
  // `table_name` names the table in the failure to hold it.
  HeldSeries(TableRows* next, NumberField field, int files, std::string_view table_name);

  std::optional<Failure> begin_header() override;
  std::optional<Failure> header_cell(float x) override;
  std::optional<Failure> end_header() override;
  std::optional<Failure> file_row(const FileRow& row) override;
  std::optional<Failure> summary_rows(std::span<const ColumnStatistics> columns) override;

  struct Row {
    std::string label;  // without its trailing blanks
    std::size_t first_cell = 0;
    std::size_t points = 0;
    float xmax = 0.0f;
    float ymax = 0.0f;
  };

  const NumberField& field() const { return field_; }
  std::span<const float> x() const { return x_; }
  std::span<const Row> rows() const { return rows_; }
  // The cell of row `row`'s y value at point j (from 0, below its points):
  // its field and a tab.
  std::string_view y_cell(const Row& row, std::size_t j) const {
    return std::string_view(cells_).substr((row.first_cell + j) * field_.cell_width(),
                                           field_.cell_width());
  }
  // The statistics of each column: of the last file's points, then of its
  // peak's x and y.
  std::span<const ColumnStatistics> summary() const { return summary_; }
  // The points of the longest row: of the header, of a file, or of the
  // summary rows' columns before the peak's.
  std::size_t longest_points() const;

 private:
  TableRows* next_;
  NumberField field_;
  std::string table_name_;
  std::vector<float> x_;
  std::vector<Row> rows_;
  std::string cells_;  // the rows' y cells, one after another
  std::vector<ColumnStatistics> summary_;
};

}  // namespace tovel
