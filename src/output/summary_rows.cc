#include "output/summary_rows.h"

namespace tovel {

void write_summary_rows(TableWriter& table, const ColumnAccumulators& sums, int n, int k) {
  const int columns = n + 2;
  table.write("Average   \t");
  for (int j = 1; j <= columns; ++j)
    table.write_cell(sums.statistics(j, k).mean);
  table.write("\nStd Dev   \t");
  for (int j = 1; j <= columns; ++j)
    table.write_cell(sums.statistics(j, k).sd);
  table.write("\nCV %      \t");
  for (int j = 1; j <= columns; ++j)
    table.write_cell(sums.statistics(j, k).cv);
  table.write("\n");
}

}  // namespace tovel
