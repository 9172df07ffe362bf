#include "collate/collation.h"

#include <array>

#include "datafile/readdata.h"

namespace tovel {

PassOutcome collate_file(int i, const FileNames& names, DataFile& file, TableWriter& table,
                         ColumnAccumulators& sums, int& n) {
  std::array<float, kMaxPoints> y;
  DeferredReal xmax;  // converted once, when the row is written
  float ymax = 0.0f;
  if (i == 1) table.write("X Values >\t");
  int j = 1;
  for (;; ++j) {
    DataLine line;  // xx, yy and zz; zz is never used
    int endflag = 0;
    readdata(line, file, endflag);
    if (endflag == 1) break;
    const float yy = line.y;
    if (j > kMaxPoints) return PassOutcome::too_many_points;
    y[static_cast<std::size_t>(j - 1)] = yy;
    sums.add_point(j, yy);
    if (i == 1) table.write_cell(line.x.value());
    if (yy > ymax) {  // strict: the first of equal peaks wins
      ymax = yy;
      xmax = line.x;
    }
  }
  n = j - 1;
  if (i == 1) table.write("      Xmax\t      Ymax\n");
  file.close();
  table.write(names.row_label());
  table.write("\t");
  table.write_cells(std::span(y).first(static_cast<std::size_t>(n)));
  table.write_cell(xmax.value());
  table.write_value(ymax);
  table.write("\n");
  sums.add_peak(n, xmax.value(), ymax);
  return PassOutcome::complete;
}

}  // namespace tovel
