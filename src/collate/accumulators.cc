#include "collate/accumulators.h"

#include <algorithm>
#include <cmath>

namespace tovel {

void ColumnAccumulators::clear() {
  files_ = 0;
  for (auto* column : {&sum_, &shift_, &shifted_sum_, &shifted_squares_})
    column->assign(kDefaultMaxPoints + 2, 0.0);
  files_of_length_.assign(kDefaultMaxPoints + 3, 0);
  peaks_after_.assign(kDefaultMaxPoints + 3, 0);
}

void ColumnAccumulators::make_room(int columns) {
  const auto wanted = static_cast<std::size_t>(columns);
  if (wanted <= sum_.size()) return;
  for (auto* column : {&sum_, &shift_, &shifted_sum_, &shifted_squares_})
    column->resize(wanted, 0.0);
  files_of_length_.resize(wanted + 1, 0);
  peaks_after_.resize(wanted + 1, 0);
}

namespace detail {
namespace {

// Plain arithmetic on separate arrays, which the compiler vectorises; each
// element's operations are the same at any width, so both variants give
// the same bits.
[[gnu::always_inline]] inline void add_to_sums(const SumsRun& run) {
  for (std::size_t j = 0; j < run.values.size(); ++j) {
    const double v = static_cast<double>(run.values[j]);
    const double d = v - run.shift[j];
    run.sum[j] = run.sum[j] + v;
    run.shifted_sum[j] = run.shifted_sum[j] + d;
    run.shifted_squares[j] = run.shifted_squares[j] + d * d;
  }
}

}  // namespace

void add_to_sums_baseline(const SumsRun& run) {
  add_to_sums(run);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void add_to_sums_avx2(const SumsRun& run) {
  add_to_sums(run);
}
#else
void add_to_sums_avx2(const SumsRun& run) {
  add_to_sums(run);
}
#endif

bool avx2_available() {
#if defined(__x86_64__)
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
#else
  return false;
#endif
}

}  // namespace detail

void ColumnAccumulators::add_run(std::size_t first, std::span<const float> values) {
  const detail::SumsRun run{.values = values,
                            .sum = sum_.data() + first,
                            .shift = shift_.data() + first,
                            .shifted_sum = shifted_sum_.data() + first,
                            .shifted_squares = shifted_squares_.data() + first};
  if (files_ == 1) {
    for (std::size_t j = 0; j < values.size(); ++j)
      shift_[first + j] = static_cast<double>(values[j]);
  }
  if (detail::avx2_available()) {
    detail::add_to_sums_avx2(run);
  } else {
    detail::add_to_sums_baseline(run);
  }
}

void ColumnAccumulators::add_points(std::span<const float> y) {
  ++files_;
  ++files_of_length_[y.size()];
  add_run(0, y);
}

void ColumnAccumulators::add_peak(int n, float xmax, float ymax) {
  const auto after = static_cast<std::size_t>(n);
  ++peaks_after_[after];
  const float peak[] = {xmax, ymax};
  add_run(after, peak);
}

std::vector<long> ColumnAccumulators::files_added(std::size_t columns) const {
  // Column j (from 1) has a value of every file of j points or more, and the
  // peak x of the files of j - 1 points and the peak y of those of j - 2.
  std::vector<long> added(columns, 0);
  long at_least = 0;
  for (std::size_t length = files_of_length_.size(); length-- > 1;) {
    at_least += files_of_length_[length];
    if (length <= columns) added[length - 1] = at_least;
  }
  for (std::size_t n = 0; n < peaks_after_.size(); ++n) {
    if (n < columns) added[n] += peaks_after_[n];
    if (n + 1 < columns) added[n + 1] += peaks_after_[n];
  }
  return added;
}

std::vector<ColumnStatistics> ColumnAccumulators::summary(int columns, int k) const {
  const auto count = static_cast<std::size_t>(columns);
  const std::vector<long> added = files_added(count);
  std::vector<ColumnStatistics> statistics(count);
  for (std::size_t j = 0; j < count; ++j) {
    const ColumnSums column{.sum = sum_[j],
                            .shift = shift_[j],
                            .shifted_sum = shifted_sum_[j],
                            .shifted_squares = shifted_squares_[j],
                            .added = added[j]};
    statistics[j] = column_statistics(column, k);
  }
  return statistics;
}

ColumnStatistics column_statistics(const ColumnSums& column, int k) {
  const auto files = static_cast<double>(k);
  // Files that added nothing add 0 each, d = -K: all at once.
  const auto absent = static_cast<double>(k - column.added);
  const double d = column.shifted_sum - absent * column.shift;
  const double e = column.shifted_squares + absent * (column.shift * column.shift);
  const double mean = column.sum / files;
  double variance = (e - (d * d) / files) / (files - 1.0);
  // Rounding can leave the variance of finite data just below zero; the
  // deviation is then 0, not NaN. A NaN variance stays NaN.
  if (variance < 0.0) variance = 0.0;
  const double sd = std::sqrt(variance);
  ColumnStatistics st{};
  st.mean = static_cast<float>(mean);
  st.sd = static_cast<float>(sd);
  if (st.mean == 0.0f) {
    st.cv = 0.0f;
  } else {
    const double scaled = sd * 100.0;
    st.cv = static_cast<float>(scaled / mean);
  }
  return st;
}

}  // namespace tovel
