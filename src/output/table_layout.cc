#include "output/table_layout.h"

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
  return unless(table_.write("      Xmax\t      Ymax\n"));
}

std::optional<Failure> TableLayout::file_row(std::string_view label, std::span<const float> y,
                                             float xmax, float ymax) {
  return unless(table_.write(label) && table_.write("\t") && table_.write_cells(y) &&
                table_.write_cell(xmax) && table_.write_value(ymax) && table_.write("\n"));
}

std::optional<Failure> TableLayout::summary_rows(const ColumnAccumulators& sums, int n, int k) {
  const int columns = n + 2;
  const auto row = [&](std::string_view label, float ColumnStatistics::*statistic) {
    if (!table_.write(label)) return false;
    for (int j = 1; j <= columns; ++j) {
      if (!table_.write_cell(sums.statistics(j, k).*statistic)) return false;
    }
    return table_.write("\n");
  };
  return unless(row("Average   \t", &ColumnStatistics::mean) &&
                row("Std Dev   \t", &ColumnStatistics::sd) &&
                row("CV %      \t", &ColumnStatistics::cv));
}

}  // namespace tovel
