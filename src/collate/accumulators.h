#pragma once

#include <cstddef>
#include <vector>

namespace tovel {

// The points a data file may hold unless --max-points says otherwise, and
// the most it may say.
inline constexpr int kMaxPoints = 250;
inline constexpr int kMostMaxPoints = 1000000;

// The statistics of one table column over the k files of the series.
struct ColumnStatistics {
  float mean;
  float sd;
  float cv;
};

// Per table column, the running sum of the values and of their squares, in
// single precision. Columns are matched by position only.
class ColumnAccumulators {
 public:
  // All columns 0: those of kMaxPoints points and their peak, to begin with.
  void clear();
  // Makes columns 1 to `columns` exist, the new ones 0; a file's points and
  // peak are added only once they do.
  void make_room(int columns);
  // Column j (1-based) receives v; its square is added with one rounding.
  void add_point(int j, float v);
  // Columns n+1 and n+2 receive a file's peak x and peak y; each square is
  // rounded before it is added.
  void add_peak(int n, float xmax, float ymax);
  // The statistics of column j over k files (k >= 2).
  ColumnStatistics statistics(int j, int k) const;

  float sum(int j) const { return sum_[index(j)]; }
  float sum_of_squares(int j) const { return sum_of_squares_[index(j)]; }

 private:
  static std::size_t index(int j) { return static_cast<std::size_t>(j - 1); }
  std::vector<float> sum_;
  std::vector<float> sum_of_squares_;
};

// mean = S / k; sd = sqrt(Q / (k-1) - S*S / (k*(k-1))), with a radicand that
// rounding made negative taken as 0; cv = sd*100 / mean, or 0 for a zero mean.
ColumnStatistics column_statistics(float s, float q, int k);

}  // namespace tovel
