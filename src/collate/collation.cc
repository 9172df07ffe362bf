#include "collate/collation.h"

namespace tovel {

namespace {

// Notes what the series' warnings look at in a line read as a point.
void note_line(const DataLine& line, long line_number, DataFile& file, PassResult& notes) {
  notes.trailing_empty_lines = line.empty ? notes.trailing_empty_lines + 1 : 0;
  if (line.empty && notes.empty_lines++ == 0) notes.first_empty_line = line_number;
  if (line.decimal_comma.size != 0 && notes.decimal_comma_line == 0) {
    notes.decimal_comma_line = line_number;
    notes.decimal_comma_word = line.decimal_comma;
    file.watch_decimal_commas = false;  // once is enough for a series
  }
}

// Passes over the lines at the top of the file that are no data.
ReadOutcome skip_header_lines(DataFile& file) {
  InputStream& in = file.stream();
  for (int skipped = 0; skipped < file.lines_to_skip; ++skipped) {
    FieldText unused;
    const TakeStatus status = take_field(in, kDataLineWidth, false, unused);
    if (status == TakeStatus::end_of_input) break;
    if (status == TakeStatus::failed) {
      return {ReadStatus::read_failed, in.lines_taken() + 1, in.failure_text()};
    }
  }
  return {ReadStatus::line};
}

}  // namespace

PassResult collate_file(bool first_file, std::string_view row_label, DataFile& file,
                        TableRows& table, ColumnAccumulators& sums, FileValues& values) {
  int peak = -1;  // the index of xmax in values.x; -1 while it is 0
  float ymax = 0.0f;
  PassResult complete{PassOutcome::complete};
  if (first_file && !table.begin_header()) return {PassOutcome::table_failed};
  if (const ReadOutcome skipped = skip_header_lines(file); skipped.status != ReadStatus::line) {
    return {PassOutcome::read_failed, 0, skipped};
  }
  int j = 1;
  for (;; ++j) {
    DataLine line;  // the line's x, y and third value, which is never used
    const ReadOutcome read = readdata(line, file);
    if (read.status == ReadStatus::end) break;
    if (read.status != ReadStatus::line) return {PassOutcome::read_failed, j - 1, read};
    const float yy = line.y;
    if (j > kMaxPoints) {
      PassResult stop{PassOutcome::too_many_points};
      stop.line_number = file.stream().lines_taken();
      return stop;
    }
    note_line(line, file.stream().lines_taken(), file, complete);
    const auto at = static_cast<std::size_t>(j - 1);
    values.y[at] = yy;
    values.x[at] = line.x;
    sums.add_point(j, yy);
    if (first_file && !table.header_cell(line.x.value())) return {PassOutcome::table_failed};
    // Strict: the first of equal peaks wins. Selected, not branched on: the
    // rising side of a peak makes the branch hard to predict.
    const bool higher = yy > ymax;
    ymax = higher ? yy : ymax;
    peak = higher ? j - 1 : peak;
  }
  const int n = j - 1;
  const float xmax = peak < 0 ? 0.0f : values.x[static_cast<std::size_t>(peak)].value();
  if (first_file && !table.end_header()) return {PassOutcome::table_failed};
  file.close();
  const auto y = std::span<const float>(values.y).first(static_cast<std::size_t>(n));
  if (!table.file_row(row_label, y, xmax, ymax)) return {PassOutcome::table_failed};
  sums.add_peak(n, xmax, ymax);
  complete.points = n;
  complete.positive_peak = peak >= 0;
  return complete;
}

}  // namespace tovel
