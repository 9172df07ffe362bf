#include "collate/accumulators.h"

#include <cmath>

namespace tovel {

void ColumnAccumulators::clear() {
  ysum_.fill(0.0f);
  yysum_.fill(0.0f);
}

void ColumnAccumulators::add_point(int j, float v) {
  const std::size_t c = index(j);
  ysum_[c] = ysum_[c] + v;
  yysum_[c] = std::fma(v, v, yysum_[c]);
}

void ColumnAccumulators::add_peak(int n, float xmax, float ymax) {
  const std::size_t x = index(n + 1);
  const std::size_t y = index(n + 2);
  ysum_[x] = ysum_[x] + xmax;
  ysum_[y] = ysum_[y] + ymax;
  const float xx = xmax * xmax;
  const float yy = ymax * ymax;
  yysum_[x] = yysum_[x] + xx;
  yysum_[y] = yysum_[y] + yy;
}

ColumnStatistics ColumnAccumulators::statistics(int j, int k) const {
  return column_statistics(ysum(j), yysum(j), k);
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
