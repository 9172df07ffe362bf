#pragma once

#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "collate/accumulators.h"
#include "collate/table_rows.h"

namespace tovel {

// A series of more files than this is drawn without its single curves.
inline constexpr int kMaxDrawnCurves = 50;

// What the picture of a series needs, gathered while the collation pass
// hands the table its cells, which it passes on unchanged: the header row's
// x values, each file's y values and label when the series is small enough
// to draw them one by one, each file's peak, the lowest and highest finite
// y of each column, and the columns' statistics.
class SeriesPicture : public TableRows {
 public:
  static constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

  SeriesPicture(TableRows& table, int files);

  std::optional<Failure> begin_header() override { return table_.begin_header(); }
  std::optional<Failure> header_cell(float x) override;
  std::optional<Failure> end_header() override { return table_.end_header(); }
  std::optional<Failure> file_row(const FileRow& row) override;
  std::optional<Failure> summary_rows(std::span<const ColumnStatistics> columns) override;

  struct Peak {
    float x;
    float y;
  };
  // The files of the series, and the points of the shortest one: the
  // columns in which every file gave a y value, the only ones whose
  // statistics are those of y values alone.
  int files() const { return files_; }
  int shortest_points() const { return shortest_points_; }
  // Whether the files are few enough to be drawn one by one.
  bool draws_curves() const { return files_ <= kMaxDrawnCurves; }
  std::span<const float> x() const { return x_; }
  // Each file's y values, or none when there are too many files to draw,
  // and each file's row label without its trailing blanks.
  const std::vector<std::vector<float>>& curves() const { return curves_; }
  const std::vector<std::string>& labels() const { return labels_; }
  // The files' peaks where their data hold one: a file whose y are all 0
  // or below, or not numbers, has none, though the table gives it (0, 0).
  std::span<const Peak> peaks() const { return peaks_; }
  // The lowest and the highest finite y of column j (from 0), NaN when it
  // has none.
  float lowest(std::size_t j) const { return j < lowest_.size() ? lowest_[j] : kNone; }
  float highest(std::size_t j) const { return j < highest_.size() ? highest_[j] : kNone; }
  // The statistics of each column, from the summary rows.
  std::span<const ColumnStatistics> summary() const { return summary_; }

 private:
  TableRows& table_;
  int files_;
  int shortest_points_ = std::numeric_limits<int>::max();
  std::vector<float> x_;
  std::vector<std::vector<float>> curves_;
  std::vector<std::string> labels_;
  std::vector<Peak> peaks_;
  std::vector<float> lowest_;
  std::vector<float> highest_;
  std::vector<ColumnStatistics> summary_;
};

}  // namespace tovel
