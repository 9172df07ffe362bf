#include "collate/accumulators.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fields/g14_4.h"

namespace tovel {
namespace {

uint32_t bits_of(float f) {
  return std::bit_cast<uint32_t>(f);
}

// Each point's square is added with one rounding; each peak's square is
// rounded before it is added. 0.1 and 0.2 tell the two apart:
// 0.1² + 0.2² is 0.0500000007 fused and 0.0500000045 unfused.
TEST(ColumnAccumulators, PointSquaresAreFusedPeakSquaresAreNot) {
  ColumnAccumulators sums;
  sums.clear();
  sums.add_point(1, 0.1f);
  sums.add_point(1, 0.2f);
  EXPECT_EQ(bits_of(sums.sum_of_squares(1)), 0x3D4CCCCDu);  // 0.0500000007
  sums.add_peak(1, 0.1f, 0.0f);
  sums.add_peak(1, 0.2f, 0.0f);
  EXPECT_EQ(bits_of(sums.sum_of_squares(2)), 0x3D4CCCCEu);  // 0.0500000045
}

// Files of unequal length: columns are matched by position only.
TEST(ColumnAccumulators, UnequalLengths) {
  ColumnAccumulators sums;
  sums.clear();
  const std::vector<float> file1 = {10, 20, 15};
  const std::vector<float> file2 = {12, 18};
  for (std::size_t j = 0; j < file1.size(); ++j)
    sums.add_point(static_cast<int>(j + 1), file1[j]);
  sums.add_peak(3, 2, 20);
  for (std::size_t j = 0; j < file2.size(); ++j)
    sums.add_point(static_cast<int>(j + 1), file2[j]);
  sums.add_peak(2, 2, 18);
  const float expected_sums[] = {22, 38, 17, 20, 20};
  const float expected_means[] = {11, 19, 8.5f, 10};
  for (int j = 1; j <= 5; ++j)
    EXPECT_EQ(sums.sum(j), expected_sums[j - 1]) << j;
  for (int j = 1; j <= 4; ++j)
    EXPECT_EQ(sums.statistics(j, 2).mean, expected_means[j - 1]) << j;
}

struct StatisticsCase {
  const char* name;
  std::vector<float> values;  // one per file
  const char* mean;           // the G14.4 texts of the summary rows
  const char* sd;
  const char* cv;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

const StatisticsCase kStatistics[] = {
    {"worked example column 3",
     {15, 16.5f, 14},
     "     15.17    ",
     "     1.258    ",
     "     8.297    "},
    {"zero mean gives cv 0", {1, -1}, "     0.000    ", "     1.414    ", "     0.000    "},
    {"negative mean gives negative cv",
     {-2, -4},
     "    -3.000    ",
     "     1.414    ",
     "    -47.14    "},
    {"equal values whose radicand rounds below 0",
     {1.1f, 1.1f, 1.1f},
     "     1.100    ",
     "     0.000    ",
     "     0.000    "},
    {"infinity in the data", {kInf, 1}, "      Infinity", "           NaN", "           NaN"},
    {"NaN in the data", {kNaN, 1}, "           NaN", "           NaN", "           NaN"},
};

std::string text(float v) {
  const auto t = format_g14_4(v);
  return {t.data(), t.size()};
}

TEST(ColumnStatistics, Table) {
  for (const auto& c : kStatistics) {
    ColumnAccumulators sums;
    sums.clear();
    for (const float v : c.values)
      sums.add_point(1, v);
    const ColumnStatistics st = sums.statistics(1, static_cast<int>(c.values.size()));
    EXPECT_EQ(text(st.mean), c.mean) << c.name;
    EXPECT_EQ(text(st.sd), c.sd) << c.name;
    EXPECT_EQ(text(st.cv), c.cv) << c.name;
  }
}

// The radicand is clamped only when negative: tiny positive values stay.
TEST(ColumnStatistics, PositiveRadicandIsNotTouched) {
  const ColumnStatistics st = column_statistics(2.0f, 2.0000002f, 2);
  EXPECT_EQ(st.sd, std::sqrt(2.0000002f - 2.0f));
}

}  // namespace
}  // namespace tovel
