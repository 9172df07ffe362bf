#include "output/csv_table.h"

#include <array>
#include <string>

#include "fields/shown_number.h"
#include "output/csv_rows.h"

namespace tovel {
namespace {

// Builds each row in a reused string and hands it to the file whole.
class TurnedCsvWriter {
 public:
  TurnedCsvWriter(const HeldSeries& series, TableWriter& csv)
      : series_(series),
        csv_(csv),
        separator_(series.form().csv_separator()),
        decimal_mark_(series.form().csv_decimal_mark()) {}

  bool write();

 private:
  // Begins a field: the separator, but before the row's first.
  void next_field() {
    if (fields_++ > 0) line_ += separator_;
  }
  // A text field, quoted when it holds the separator, a quote or a line end.
  void text(std::string_view field);
  void empties(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
      next_field();
  }
  // The number the table's cell would show for `value`.
  void number(float value) {
    std::array<char, kWidestNumberField> cell;
    series_.field().write(value, cell.data());
    std::array<char, kLongestShownNumber> shown;
    next_field();
    line_.append(shown.data(), write_shown_number({cell.data(), series_.field().width()},
                                                  decimal_mark_, shown.data()));
  }
  // Ends the row and writes it; false when the file does not take it.
  bool end_row() {
    line_ += "\r\n";
    const bool written = csv_.write(line_);
    line_.clear();
    fields_ = 0;
    return written;
  }

  bool point_row(std::size_t j);
  bool peak_row(std::string_view label, float HeldSeries::Row::*peak, std::size_t column);
  // The statistics of column `column`, or empty fields.
  void statistics(std::size_t column);

  const HeldSeries& series_;
  TableWriter& csv_;
  char separator_;
  char decimal_mark_;
  std::string line_;
  std::size_t fields_ = 0;  // the fields of the row begun
  std::string cells_;       // a row's values as the table's cells
};

void TurnedCsvWriter::text(std::string_view field) {
  next_field();
  append_csv_text(line_, field, separator_);
}

void TurnedCsvWriter::statistics(std::size_t column) {
  if (column >= series_.summary().size()) return empties(3);
  const ColumnStatistics& s = series_.summary()[column];
  number(s.mean);
  number(s.sd);
  number(s.cv);
}

bool TurnedCsvWriter::point_row(std::size_t j) {
  const std::span<const float> x = series_.x();
  if (j < x.size()) {
    number(x[j]);
  } else {
    empties(1);
  }
  const std::size_t files = series_.rows().size();
  const float* const y = series_.point_values(j);
  if (series_.every_file_has_y(j)) {
    // The usual row: its cells formatted at once, as the table's are.
    const NumberField& field = series_.field();
    cells_.resize(files * field.cell_width());
    field.write_cells({y, files}, cells_.data());
    append_shown_numbers(cells_, field.width(), separator_, decimal_mark_, line_);
    fields_ += files;
  } else {
    for (std::size_t i = 0; i < files; ++i) {
      if (series_.has_y(i, j)) {
        number(y[i]);
      } else {
        empties(1);
      }
    }
  }
  statistics(j < series_.summary_points() ? j : series_.summary().size());
  return end_row();
}

bool TurnedCsvWriter::peak_row(std::string_view label, float HeldSeries::Row::*peak,
                               std::size_t column) {
  text(label);
  for (const HeldSeries::Row& row : series_.rows())
    number(row.*peak);
  statistics(column);
  return end_row();
}

bool TurnedCsvWriter::write() {
  text("x");
  for (const HeldSeries::Row& row : series_.rows())
    text(row.label);
  text("Average");
  text("Std Dev");
  text("CV %");
  if (!end_row()) return false;
  const std::size_t points = series_.longest_points();
  for (std::size_t j = 0; j < points; ++j) {
    if (!point_row(j)) return false;
  }
  const std::size_t peak_column = series_.summary_points();
  return peak_row("Xmax", &HeldSeries::Row::xmax, peak_column) &&
         peak_row("Ymax", &HeldSeries::Row::ymax, peak_column + 1);
}

}  // namespace

std::optional<Failure> write_turned_csv(const HeldSeries& series, TableWriter& csv) {
  if (TurnedCsvWriter(series, csv).write()) return std::nullopt;
  return csv.failure();
}

}  // namespace tovel
