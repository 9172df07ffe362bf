#include "output/csv_table.h"

#include <array>
#include <string>

#include "fields/shown_number.h"

namespace tovel {
namespace {

// Builds each row in a reused string and hands it to the file whole.
class CsvWriter {
 public:
  CsvWriter(const HeldSeries& series, OutputForm form, TableWriter& csv)
      : series_(series),
        csv_(csv),
        separator_(form.csv_separator()),
        decimal_mark_(form.csv_decimal_mark()) {}

  bool write_rows();
  bool write_transposed_rows();

 private:
  using Statistic = float ColumnStatistics::*;

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
  // The number the table's field `field` shows.
  void shown(std::string_view field) {
    std::array<char, kLongestShownNumber> number;
    next_field();
    line_.append(number.data(), write_shown_number(field, decimal_mark_, number.data()));
  }
  void number(float value) {
    std::array<char, kWidestNumberField> field;
    series_.field().write(value, field.data());
    shown({field.data(), series_.field().width()});
  }

  // Ends the row and writes it; false when the file does not take it.
  bool end_row() {
    line_ += "\r\n";
    const bool written = csv_.write(line_);
    line_.clear();
    fields_ = 0;
    return written;
  }

  std::size_t summary_columns() const {
    return series_.summary().size() >= 2 ? series_.summary().size() - 2 : 0;
  }
  bool summary_row(std::string_view label, Statistic statistic, std::size_t points);
  bool point_row(std::size_t j);
  // Turned: the statistics of column `column`, or empty fields.
  void statistics(std::size_t column);
  bool peak_row(std::string_view label, float HeldSeries::Row::*peak, std::size_t column);

  const HeldSeries& series_;
  TableWriter& csv_;
  char separator_;
  char decimal_mark_;
  std::string line_;
  std::size_t fields_ = 0;  // the fields of the row begun
  std::string cells_;       // turned: a row's values as the table's cells
};

void CsvWriter::text(std::string_view field) {
  next_field();
  const char special[] = {separator_, '"', '\r', '\n'};
  if (field.find_first_of({special, sizeof special}) == std::string_view::npos) {
    line_ += field;
    return;
  }
  line_ += '"';
  for (const char c : field) {
    if (c == '"') line_ += '"';
    line_ += c;
  }
  line_ += '"';
}

bool CsvWriter::summary_row(std::string_view label, Statistic statistic, std::size_t points) {
  const std::span<const ColumnStatistics> columns = series_.summary();
  const std::size_t before_peaks = summary_columns();
  text(label);
  for (std::size_t j = 0; j < before_peaks; ++j)
    number(columns[j].*statistic);
  empties(points - before_peaks);
  for (std::size_t j = before_peaks; j < columns.size(); ++j)
    number(columns[j].*statistic);
  return end_row();
}

bool CsvWriter::write_rows() {
  const std::size_t points = series_.longest_points();
  const std::span<const float> x = series_.x();
  text("file");
  for (const float value : x)
    number(value);
  empties(points - x.size());
  text("Xmax");
  text("Ymax");
  if (!end_row()) return false;
  for (std::size_t i = 0; i < series_.rows().size(); ++i) {
    const HeldSeries::Row& row = series_.rows()[i];
    text(row.label);
    line_ += series_.csv_fields(i);
    fields_ += row.points;
    empties(points - row.points);
    number(row.xmax);
    number(row.ymax);
    if (!end_row()) return false;
  }
  return summary_row("Average", &ColumnStatistics::mean, points) &&
         summary_row("Std Dev", &ColumnStatistics::sd, points) &&
         summary_row("CV %", &ColumnStatistics::cv, points);
}

bool CsvWriter::point_row(std::size_t j) {
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
  statistics(j < summary_columns() ? j : series_.summary().size());
  return end_row();
}

void CsvWriter::statistics(std::size_t column) {
  if (column >= series_.summary().size()) return empties(3);
  const ColumnStatistics& s = series_.summary()[column];
  number(s.mean);
  number(s.sd);
  number(s.cv);
}

bool CsvWriter::peak_row(std::string_view label, float HeldSeries::Row::*peak, std::size_t column) {
  text(label);
  for (const HeldSeries::Row& row : series_.rows())
    number(row.*peak);
  statistics(column);
  return end_row();
}

bool CsvWriter::write_transposed_rows() {
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
  const std::size_t peak_column = summary_columns();
  return peak_row("Xmax", &HeldSeries::Row::xmax, peak_column) &&
         peak_row("Ymax", &HeldSeries::Row::ymax, peak_column + 1);
}

}  // namespace

std::optional<Failure> write_csv_table(const HeldSeries& series, TableWriter& csv) {
  const OutputForm form = series.form();
  CsvWriter writer(series, form, csv);
  if (form.transposed ? writer.write_transposed_rows() : writer.write_rows()) return std::nullopt;
  return csv.failure();
}

}  // namespace tovel
