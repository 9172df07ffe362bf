#include "collate/collation.h"

#include <array>

#include "datafile/readdata.h"
#include "run/report.h"

namespace tovel {
namespace {

[[noreturn]] void report_read_failure(const ReadOutcome& outcome, std::string_view file) {
  if (outcome.status == ReadStatus::bad_value) {
    report_runtime_error(
        {file, outcome.line_number, "cannot read a number from", outcome.bad_field(), true},
        "Bad value during floating point read");
  }
  report_runtime_error({file, outcome.line_number, "cannot read the data file"},
                       outcome.failure_text);
}

}  // namespace

PassOutcome collate_file(int i, const FileNames& names, DataFile& file, TableWriter& table,
                         ColumnAccumulators& sums, int& n) {
  std::array<float, kMaxPoints> y;
  std::array<DeferredReal, kMaxPoints> x;  // converted only for the header and the peak
  int peak = -1;                           // the index of xmax in x; -1 while it is 0
  float ymax = 0.0f;
  if (i == 1) table.write("X Values >\t");
  int j = 1;
  for (;; ++j) {
    DataLine line;  // xx, yy and zz; zz is never used
    const ReadOutcome outcome = readdata(line, file);
    if (outcome.status == ReadStatus::end) break;
    if (outcome.status != ReadStatus::line) report_read_failure(outcome, file.name());
    const float yy = line.y;
    if (j > kMaxPoints) return PassOutcome::too_many_points;
    y[static_cast<std::size_t>(j - 1)] = yy;
    x[static_cast<std::size_t>(j - 1)] = line.x;
    sums.add_point(j, yy);
    if (i == 1) table.write_cell(line.x.value());
    // Strict: the first of equal peaks wins. Selected, not branched on: the
    // rising side of a peak makes the branch hard to predict.
    const bool higher = yy > ymax;
    ymax = higher ? yy : ymax;
    peak = higher ? j - 1 : peak;
  }
  n = j - 1;
  const float xmax = peak < 0 ? 0.0f : x[static_cast<std::size_t>(peak)].value();
  if (i == 1) table.write("      Xmax\t      Ymax\n");
  file.close();
  table.write(names.row_label());
  table.write("\t");
  table.write_cells(std::span(y).first(static_cast<std::size_t>(n)));
  table.write_cell(xmax);
  table.write_value(ymax);
  table.write("\n");
  sums.add_peak(n, xmax, ymax);
  return PassOutcome::complete;
}

}  // namespace tovel
