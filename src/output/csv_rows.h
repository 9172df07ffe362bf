#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "collate/table_rows.h"
#include "output/held_series.h"
#include "output/table_writer.h"

namespace tovel {

// Appends `field` to a csv row as RFC 4180 has it: quoted, its quotes
// doubled, when it holds `separator`, a quote or a line end.
void append_csv_text(std::string& line, std::string_view field, char separator);

// The comma-separated file (--csv), written row by row beside the table as
// the collation hands the table its rows, which it passes on unchanged to
// `next`: the same rows and columns, each of as many fields as the header.
// The header is "file", the x values, "Xmax" and "Ymax"; a row for each
// file holds its label, its y values (the reader's csv fields, FileRow::
// y_csv_fields) and its peak; the summary rows are "Average", "Std Dev" and
// "CV %" with the statistics of the columns. A file shorter than the longest
// row has empty fields after its y values, so that each value stands under
// its x and each peak under "Xmax" and "Ymax"; the header names a point
// beyond the first file's with an empty field. Each number is the value the
// table's cell shows, in the shortest decimal that reads back to it
// (write_shown_number). Rows end with CR LF, and a label that holds the
// separator, a quote or a line end is quoted, its quotes doubled (RFC 4180).
class CsvRows : public TableRows {
 public:
  CsvRows(TableRows& next, TableWriter& csv, OutputForm form, NumberField field);

  std::optional<Failure> begin_header() override;
  std::optional<Failure> header_cell(float x) override;
  std::optional<Failure> end_header() override;
  std::optional<Failure> file_row(const FileRow& row) override;
  std::optional<Failure> summary_rows(std::span<const ColumnStatistics> columns) override;

  // Once every row is in: a file longer than those before it left them, and
  // the header, short of fields; the file is then written anew with them
  // padded. A csv file that is not a regular file cannot be, and is left so.
  bool needs_padding() const { return padded_points_ < longest_points_; }
  std::optional<Failure> pad_rows();

 private:
  // A text field, quoted when it holds the separator, a quote or a line end.
  void text(std::string_view field);
  // The number the table's cell would show for `value`.
  void number(float value);
  void empties(std::size_t count) { line_.append(count, separator_); }
  // Ends the row and hands it to the file.
  std::optional<Failure> end_row();
  std::optional<Failure> summary_row(std::string_view label, float ColumnStatistics::*statistic,
                                     std::span<const ColumnStatistics> columns);
  // A row written with `points` fields of values padded to the longest.
  void pad_row(std::string_view row, std::string& padded) const;

  TableRows& next_;
  TableWriter& csv_;
  NumberField field_;
  char separator_;
  char decimal_mark_;
  std::size_t header_points_ = 0;
  // The points of the longest row so far, and those the rows written so far
  // were padded to.
  std::size_t longest_points_ = 0;
  std::size_t padded_points_ = 0;
  std::string line_;  // the row being built
};

}  // namespace tovel
