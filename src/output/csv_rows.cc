#include "output/csv_rows.h"

#include <algorithm>
#include <array>

#include "base/fixed_text.h"
#include "fields/shown_number.h"

namespace tovel {

CsvRows::CsvRows(TableRows& next, TableWriter& csv, OutputForm form, NumberField field)
    : next_(next),
      csv_(csv),
      field_(field),
      separator_(form.csv_separator()),
      decimal_mark_(form.csv_decimal_mark()) {}

void append_csv_text(std::string& line, std::string_view field, char separator) {
  const char special[] = {separator, '"', '\r', '\n'};
  if (field.find_first_of({special, sizeof special}) == std::string_view::npos) {
    line += field;
    return;
  }
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

void CsvRows::text(std::string_view field) {
  if (!line_.empty()) line_ += separator_;
  append_csv_text(line_, field, separator_);
}

void CsvRows::number(float value) {
  std::array<char, kWidestNumberField> cell;
  field_.write(value, cell.data());
  std::array<char, kLongestShownNumber> shown;
  line_ += separator_;
  line_.append(shown.data(),
               write_shown_number({cell.data(), field_.width()}, decimal_mark_, shown.data()));
}

std::optional<Failure> CsvRows::end_row() {
  line_ += "\r\n";
  const bool written = csv_.write(line_);
  line_.clear();
  return written ? std::nullopt : std::optional<Failure>(csv_.failure());
}

std::optional<Failure> CsvRows::begin_header() {
  if (auto failure = next_.begin_header()) return failure;
  line_ = "file";
  return std::nullopt;
}

std::optional<Failure> CsvRows::header_cell(float x) {
  ++header_points_;
  number(x);
  return next_.header_cell(x);
}

std::optional<Failure> CsvRows::end_header() {
  if (auto failure = next_.end_header()) return failure;
  longest_points_ = padded_points_ = header_points_;
  text("Xmax");
  text("Ymax");
  return end_row();
}

std::optional<Failure> CsvRows::file_row(const FileRow& row) {
  if (auto failure = next_.file_row(row)) return failure;
  const std::size_t points = row.y.size();
  longest_points_ = std::max(longest_points_, points);
  text(trim_trailing_blanks(row.label));
  line_ += row.y_csv_fields;
  empties(padded_points_ - std::min(points, padded_points_));
  number(row.xmax);
  number(row.ymax);
  return end_row();
}

std::optional<Failure> CsvRows::summary_row(std::string_view label,
                                            float ColumnStatistics::*statistic,
                                            std::span<const ColumnStatistics> columns) {
  // The columns of the last file's points, then those of its peak.
  const std::size_t points = columns.size() - 2;
  text(label);
  for (std::size_t j = 0; j < points; ++j)
    number(columns[j].*statistic);
  empties(longest_points_ - points);
  number(columns[points].*statistic);
  number(columns[points + 1].*statistic);
  return end_row();
}

std::optional<Failure> CsvRows::summary_rows(std::span<const ColumnStatistics> columns) {
  if (auto failure = next_.summary_rows(columns)) return failure;
  longest_points_ = std::max(longest_points_, columns.size() - 2);
  for (const auto& [label, statistic] :
       {std::pair{"Average", &ColumnStatistics::mean}, std::pair{"Std Dev", &ColumnStatistics::sd},
        std::pair{"CV %", &ColumnStatistics::cv}}) {
    if (auto failure = summary_row(label, statistic, columns)) return failure;
  }
  return std::nullopt;
}

void CsvRows::pad_row(std::string_view row, std::string& padded) const {
  // The separators of a row are those after its first field, which alone
  // may be quoted; its last two fields are its peak, or "Xmax" and "Ymax".
  std::size_t first_end = 0;
  if (row.starts_with('"')) {
    first_end = 1;
    while ((first_end = row.find('"', first_end) + 1) < row.size() && row[first_end] == '"')
      ++first_end;
  }
  const std::size_t fields =
      1 + static_cast<std::size_t>(std::count(row.begin() + static_cast<std::ptrdiff_t>(first_end),
                                              row.end(), separator_));
  const std::size_t wanted = longest_points_ + 3;
  const std::size_t before_peak = row.rfind(separator_, row.rfind(separator_) - 1);
  padded.append(row.substr(0, before_peak));
  padded.append(wanted - std::min(fields, wanted), separator_);
  padded.append(row.substr(before_peak));
}

std::optional<Failure> CsvRows::pad_rows() {
  std::string written;
  if (auto failure = csv_.take_back(written)) return failure;
  std::string padded;
  padded.reserve(written.size() + (longest_points_ - padded_points_) * 64);
  std::size_t at = 0;
  bool quoted = false;
  for (std::size_t i = 0; i + 1 < written.size(); ++i) {
    if (written[i] == '"') quoted = !quoted;
    if (quoted || written[i] != '\r' || written[i + 1] != '\n') continue;
    pad_row(std::string_view(written).substr(at, i - at), padded);
    padded += "\r\n";
    at = i + 2;
  }
  padded_points_ = longest_points_;
  return csv_.write(padded) ? std::nullopt : std::optional<Failure>(csv_.failure());
}

}  // namespace tovel
