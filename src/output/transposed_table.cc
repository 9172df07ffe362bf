#include "output/transposed_table.h"

#include <algorithm>
#include <string>

namespace tovel {
namespace {

class TransposedWriter {
 public:
  TransposedWriter(const HeldSeries& series, TableWriter& table)
      : series_(series),
        table_(table),
        width_(series.field().width()),
        blank_cell_(series.field().width(), ' ') {
    blank_cell_ += '\t';
  }

  bool write() {
    const std::size_t points = series_.longest_points();
    if (!header_row()) return false;
    for (std::size_t j = 0; j < points; ++j) {
      if (!point_row(j)) return false;
    }
    const std::size_t peak_column = series_.summary_points();
    return peak_row("Xmax", &HeldSeries::Row::xmax, peak_column) &&
           peak_row("Ymax", &HeldSeries::Row::ymax, peak_column + 1);
  }

 private:
  // A heading right-aligned over the fixed form's digits, and `end`.
  bool heading(std::string_view text, char end) {
    std::string cell(width_ - 4 - std::min(text.size(), width_ - 4), ' ');
    cell += text;
    cell += end;
    return table_.write(cell);
  }

  bool header_row() {
    if (!heading("X Values", '\t')) return false;
    for (const HeldSeries::Row& row : series_.rows()) {
      if (!heading(row.label, '\t')) return false;
    }
    return heading("Average", '\t') && heading("Std Dev", '\t') && heading("CV %", '\n');
  }

  // The statistics of column `column`, or blank cells, ending the row.
  bool statistics(std::size_t column) {
    if (column >= series_.summary().size()) {
      return table_.write(blank_cell_) && table_.write(blank_cell_) &&
             table_.write(std::string(width_, ' ') + "\n");
    }
    const ColumnStatistics& s = series_.summary()[column];
    return table_.write_cell(s.mean) && table_.write_cell(s.sd) && table_.write_field(s.cv) &&
           table_.write("\n");
  }

  bool point_row(std::size_t j) {
    const std::span<const float> x = series_.x();
    if (!(j < x.size() ? table_.write_cell(x[j]) : table_.write(blank_cell_))) return false;
    const std::size_t files = series_.rows().size();
    const float* const y = series_.point_values(j);
    if (series_.every_file_has_y(j)) {
      // The usual row, formatted as the usual table's rows are.
      if (!table_.write_cells({y, files})) return false;
    } else {
      for (std::size_t i = 0; i < files; ++i) {
        if (!(series_.has_y(i, j) ? table_.write_cell(y[i]) : table_.write(blank_cell_))) {
          return false;
        }
      }
    }
    return statistics(j < series_.summary_points() ? j : series_.summary().size());
  }

  bool peak_row(std::string_view label, float HeldSeries::Row::*peak, std::size_t column) {
    if (!heading(label, '\t')) return false;
    for (const HeldSeries::Row& row : series_.rows()) {
      if (!table_.write_cell(row.*peak)) return false;
    }
    return statistics(column);
  }

  const HeldSeries& series_;
  TableWriter& table_;
  std::size_t width_;
  std::string blank_cell_;
};

}  // namespace

std::optional<Failure> write_transposed_table(const HeldSeries& series, TableWriter& table) {
  if (TransposedWriter(series, table).write()) return std::nullopt;
  return table.failure();
}

}  // namespace tovel
