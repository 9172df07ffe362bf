#include "collate/accumulators.h"

#include <cmath>

namespace tovel {

void ColumnAccumulators::clear() {
  sum_.assign(kMaxPoints + 2, 0.0f);
  sum_of_squares_.assign(kMaxPoints + 2, 0.0f);
}

void ColumnAccumulators::make_room(int columns) {
  const auto wanted = static_cast<std::size_t>(columns);
  if (wanted <= sum_.size()) return;
  sum_.resize(wanted, 0.0f);
  sum_of_squares_.resize(wanted, 0.0f);
}

void ColumnAccumulators::add_point(int j, float v) {
  const std::size_t c = index(j);
  sum_[c] = sum_[c] + v;
  sum_of_squares_[c] = std::fma(v, v, sum_of_squares_[c]);
}

void ColumnAccumulators::add_peak(int n, float xmax, float ymax) {
  const std::size_t x = index(n + 1);
  const std::size_t y = index(n + 2);
  sum_[x] = sum_[x] + xmax;
  sum_[y] = sum_[y] + ymax;
  const float xmax_squared = xmax * xmax;
  const float ymax_squared = ymax * ymax;
  sum_of_squares_[x] = sum_of_squares_[x] + xmax_squared;
  sum_of_squares_[y] = sum_of_squares_[y] + ymax_squared;
}

ColumnStatistics ColumnAccumulators::statistics(int j, int k) const {
  return column_statistics(sum(j), sum_of_squares(j), k);
}

ColumnStatistics column_statistics(float s, float q, int k) {
  const auto files = static_cast<float>(k);
  const auto files_less_one = static_cast<float>(k - 1);
  const auto pairs = static_cast<float>(k * (k - 1));
  ColumnStatistics st{};
  st.mean = s / files;
  const float square_of_sum = s * s;
  const float spread = q / files_less_one;
  const float correction = square_of_sum / pairs;
  const float radicand = spread - correction;
  // Rounding can push the radicand of finite data just below zero; the
  // deviation is then 0, not NaN. A NaN radicand stays NaN.
  st.sd = radicand < 0.0f ? 0.0f : std::sqrt(radicand);
  if (st.mean == 0.0f) {
    st.cv = 0.0f;
  } else {
    const float scaled = st.sd * 100.0f;
    st.cv = scaled / st.mean;
  }
  return st;
}

}  // namespace tovel
