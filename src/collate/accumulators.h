#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "base/limits.h"

namespace tovel {

// The statistics of one table column over the k files of the series.
struct ColumnStatistics {
  float mean;
  float sd;
  float cv;
};

// The sums of one column, in binary64: of the values v, and of d = v - K and
// d², K being the value the first file added (its shift, so that the sum of
// squares does not cancel for values that vary little); `added` counts the
// files that added to the column.
struct ColumnSums {
  double sum = 0.0;
  double shift = 0.0;
  double shifted_sum = 0.0;
  double shifted_squares = 0.0;
  long added = 0;
};

// The statistics of a column over k files (k >= 2), those that added
// nothing counting as having added 0: the mean and the sample deviation
// from the binary64 sums, each rounded once to binary32; a variance that
// rounding made negative is 0; cv is the deviation in percent of the mean,
// or 0 where the binary32 mean is 0.
ColumnStatistics column_statistics(const ColumnSums& column, int k);

// Per table column, the sums from which the summary rows are computed.
// Each value is taken exactly into binary64 and every operation rounded to
// nearest, none fused. Columns are matched by position only.
namespace detail {
// A run of values and the columns of sums they are added to, element by
// element: sum += v, shifted_sum += v - shift, shifted_squares += (v -
// shift)^2, in binary64.
struct SumsRun {
  std::span<const float> values;
  double* sum;
  const double* shift;
  double* shifted_sum;
  double* shifted_squares;
};
// The same sums by the baseline's instructions and by AVX2's, which the
// accumulators take where the processor has them.
void add_to_sums_baseline(const SumsRun& run);
void add_to_sums_avx2(const SumsRun& run);
bool avx2_available();
}  // namespace detail

class ColumnAccumulators {
 public:
  // No file added yet; columns for kDefaultMaxPoints points and their peak.
  void clear();
  // Makes columns 1 to `columns` exist, the new ones 0; a file's points and
  // peak are added only once they do.
  void make_room(int columns);
  // One file's y values, into columns 1 to y.size(); once per file, before
  // its peak. The first file's values become their columns' shifts.
  void add_points(std::span<const float> y);
  // Columns n+1 and n+2 receive the peak x and peak y of the file whose n
  // points were added last.
  void add_peak(int n, float xmax, float ymax);
  // The statistics of columns 1 to `columns` over k files (k >= 2).
  std::vector<ColumnStatistics> summary(int columns, int k) const;

  // The sum of the values column j (from 1) received.
  double sum(int j) const { return sum_[index(j)]; }

 private:
  static std::size_t index(int j) { return static_cast<std::size_t>(j - 1); }
  // Adds `values` to the columns from index `first` on.
  void add_run(std::size_t first, std::span<const float> values);
  // The files that added to each of columns 1 to `columns`.
  std::vector<long> files_added(std::size_t columns) const;

  int files_ = 0;  // the files whose points were added
  std::vector<double> sum_;
  std::vector<double> shift_;
  std::vector<double> shifted_sum_;
  std::vector<double> shifted_squares_;
  // Files by the count of points they added, and peaks by the count of
  // points of their file: what each column's count of files comes from.
  std::vector<long> files_of_length_;
  std::vector<long> peaks_after_;
};

}  // namespace tovel
