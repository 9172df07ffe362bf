#include "collate/collation.h"

#include <span>

namespace tovel {
namespace {

std::optional<Failure> header_cells(const FilePoints& points, TableRows& table) {
  if (auto failure = table.begin_header()) return failure;
  for (int j = 0; j < points.count; ++j) {
    if (auto failure = table.header_cell(points.x[static_cast<std::size_t>(j)].value())) {
      return failure;
    }
  }
  if (points.end != FilePoints::End::complete) return std::nullopt;
  return table.end_header();
}

}  // namespace

std::optional<Failure> collate_points(const FilePoints& points, bool first_file,
                                      std::string_view row_label, TableRows& table,
                                      ColumnAccumulators& sums) {
  if (first_file) {
    if (auto failure = header_cells(points, table)) return failure;
  }
  const auto y = std::span<const float>(points.y).first(static_cast<std::size_t>(points.count));
  sums.make_room(points.count + 2);
  sums.add_points(y);
  if (points.end != FilePoints::End::complete) return std::nullopt;
  const float xmax = points.xmax();
  const FileRow row{.label = row_label,
                    .y = y,
                    .y_cells = points.y_cells,
                    .y_csv_fields = points.y_csv_fields,
                    .xmax = xmax,
                    .ymax = points.ymax};
  if (auto failure = table.file_row(row)) return failure;
  sums.add_peak(points.count, xmax, points.ymax);
  return std::nullopt;
}

}  // namespace tovel
