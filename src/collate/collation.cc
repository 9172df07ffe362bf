#include "collate/collation.h"

namespace tovel {

PassResult collate_file(bool first_file, std::string_view row_label, DataFile& file,
                        TableRows& table, ColumnAccumulators& sums, FileValues& values) {
  int peak = -1;  // the index of xmax in values.x; -1 while it is 0
  float ymax = 0.0f;
  int trailing_empty = 0;
  if (first_file && !table.begin_header()) return {PassOutcome::table_failed};
  int j = 1;
  for (;; ++j) {
    DataLine line;  // xx, yy and zz; zz is never used
    const ReadOutcome read = readdata(line, file);
    if (read.status == ReadStatus::end) break;
    if (read.status != ReadStatus::line) return {PassOutcome::read_failed, 0, read};
    const float yy = line.y;
    if (j > kMaxPoints) {
      PassResult stop{PassOutcome::too_many_points};
      stop.line_number = file.stream().lines_taken();
      return stop;
    }
    trailing_empty = line.empty ? trailing_empty + 1 : 0;
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
  PassResult complete{PassOutcome::complete, n};
  complete.trailing_empty_lines = trailing_empty;
  return complete;
}

}  // namespace tovel
