#include "output/table_layout.h"

#include <string>
#include <vector>

namespace tovel {

std::optional<Failure> TableLayout::unless(bool written) const {
  if (written) return std::nullopt;
  return table_.failure();
}

std::optional<Failure> TableLayout::begin_header() {
  return unless(table_.write("X Values >\t"));
}

std::optional<Failure> TableLayout::header_cell(float x) {
  return unless(table_.write_cell(x));
}

std::optional<Failure> TableLayout::end_header() {
  // Right-aligned over the fixed form's part of the cells below them.
  const std::string blanks(table_.number_field().width() - 8, ' ');
  return unless(table_.write(blanks + "Xmax\t" + blanks + "Ymax\n"));
}

std::optional<Failure> TableLayout::file_row(const FileRow& row) {
  const auto y_cells = [&] {
    return row.y_cells.empty() ? table_.write_cells(row.y) : table_.write(row.y_cells);
  };
  return unless(table_.write(row.label) && table_.write("\t") && y_cells() &&
                table_.write_cell(row.xmax) && table_.write_value(row.ymax) && table_.write("\n"));
}

std::optional<Failure> TableLayout::summary_rows(const ColumnAccumulators& sums, int n, int k) {
  const std::vector<ColumnStatistics> columns = sums.summary(n + 2, k);
  const auto row = [&](std::string_view label, float ColumnStatistics::*statistic) {
    if (!table_.write(label)) return false;
    for (const ColumnStatistics& column : columns) {
      if (!table_.write_cell(column.*statistic)) return false;
    }
    return table_.write("\n");
  };
  return unless(row("Average   \t", &ColumnStatistics::mean) &&
                row("Std Dev   \t", &ColumnStatistics::sd) &&
                row("CV %      \t", &ColumnStatistics::cv));
}

}  // namespace tovel
