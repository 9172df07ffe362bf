#include "output/table_layout.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tovel {

std::optional<Failure> TableLayout::failure_unless(bool written) const {
  if (written) return std::nullopt;
  return table_.failure();
}

bool TableLayout::write_label(std::string_view label) {
  const std::size_t blanks = label_width_ - std::min(label.size(), label_width_);
  if (blanks == 0) return table_.write(label) && table_.write("\t");
  std::string padded(label);
  padded.append(blanks, ' ');
  padded += '\t';
  return table_.write(padded);
}

std::optional<Failure> TableLayout::begin_header() {
  return failure_unless(write_label("X Values >"));
}

std::optional<Failure> TableLayout::header_cell(float x) {
  return failure_unless(table_.write_cell(x));
}

std::optional<Failure> TableLayout::end_header() {
  // Right-aligned over the fixed form's part of the cells below them.
  const std::string blanks(table_.number_field().width() - 8, ' ');
  return failure_unless(table_.write(blanks + "Xmax\t" + blanks + "Ymax\n"));
}

std::optional<Failure> TableLayout::file_row(const FileRow& row) {
  return failure_unless(write_label(row.label) && table_.write(row.y_cells) &&
                        table_.write_cell(row.xmax) && table_.write_field(row.ymax) &&
                        table_.write("\n"));
}

std::optional<Failure> TableLayout::summary_rows(std::span<const ColumnStatistics> columns) {
  std::vector<float> values(columns.size());
  const auto row = [&](std::string_view label, float ColumnStatistics::*statistic) {
    for (std::size_t j = 0; j < columns.size(); ++j)
      values[j] = columns[j].*statistic;
    return write_label(label) && table_.write_cells(values) && table_.write("\n");
  };
  return failure_unless(row("Average", &ColumnStatistics::mean) &&
                        row("Std Dev", &ColumnStatistics::sd) &&
                        row("CV %", &ColumnStatistics::cv));
}

}  // namespace tovel
