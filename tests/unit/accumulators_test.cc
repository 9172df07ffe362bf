#include "collate/accumulators.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fields/g14_4.h"

namespace tovel {
namespace {

std::string text(float v) {
  const auto t = format_g14_4(v);
  return {t.data(), t.size()};
}

// Adds a series of files, each of the y values and peak given.
struct FileValues {
  std::vector<float> y;
  float xmax = 0.0f;
  float ymax = 0.0f;
};
ColumnAccumulators sums_of(const std::vector<FileValues>& files) {
  ColumnAccumulators sums;
  sums.clear();
  for (const FileValues& file : files) {
    sums.add_points(file.y);
    sums.add_peak(static_cast<int>(file.y.size()), file.xmax, file.ymax);
  }
  return sums;
}

// Files of unequal length: columns are matched by position only, and a file
// that adds nothing to a column counts as having added 0 (the divisor is k).
TEST(ColumnAccumulators, UnequalLengths) {
  const std::vector<FileValues> files = {{{10, 20, 15}, 2, 20}, {{12, 18, 16, 14, 11}, 2, 18}};
  struct Column {
    const char* mean;
    const char* sd;
  };
  // Columns 4 to 7: the first file's peak against the second's values, then
  // the second file's peak alone.
  const Column expected[] = {
      {"     11.00    ", "     1.414    "}, {"     19.00    ", "     1.414    "},
      {"     15.50    ", "    0.7071    "}, {"     8.000    ", "     8.485    "},
      {"     15.50    ", "     6.364    "}, {"     1.000    ", "     1.414    "},
      {"     9.000    ", "     12.73    "},
  };
  const std::vector<ColumnStatistics> summary = sums_of(files).summary(7, 2);
  for (std::size_t j = 0; j < std::size(expected); ++j) {
    EXPECT_EQ(text(summary[j].mean), expected[j].mean) << "column " << j + 1;
    EXPECT_EQ(text(summary[j].sd), expected[j].sd) << "column " << j + 1;
  }
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
    {"equal values", {1.1f, 1.1f, 1.1f}, "     1.100    ", "     0.000    ", "     0.000    "},
    // Counts whose squares single precision cannot hold to the unit.
    {"large counts",
     {123456, 123470, 123441},
     "    0.1235E+06",
     "     14.50    ",
     "    0.1175E-01"},
    {"infinity in the data", {kInf, 1}, "      Infinity", "           NaN", "           NaN"},
    {"infinity after the first file",
     {1, kInf},
     "      Infinity",
     "           NaN",
     "           NaN"},
    {"NaN in the data", {kNaN, 1}, "           NaN", "           NaN", "           NaN"},
    {"the largest floats",
     {3.4e38f, 3.4e38f},
     "    0.3400E+39",
     "     0.000    ",
     "     0.000    "},
};

struct SumsCase {
  const char* name;
  std::vector<float> values;
  std::vector<double> shift, sum, shifted_sum, shifted_squares;  // before, then expected after
};

// The sums of a run by the baseline's instructions and by AVX2's: the
// expected values, the same bits from both, and no element touched past
// the run (runs of 1, 3, 5 and 9 leave vector tails).
TEST(AddToSums, BothVariantsGiveTheSameBits) {
  constexpr double kDoubleInfinity = std::numeric_limits<double>::infinity();
  const SumsCase cases[] = {
      {"one value", {3.0f}, {1.0}, {3.0}, {2.0}, {4.0}},
      {"three, one of them negative",
       {1.0f, -2.0f, 0.5f},
       {1.0, 1.0, 0.5},
       {1.0, -2.0, 0.5},
       {0.0, -3.0, 0.0},
       {0.0, 9.0, 0.0}},
      {"five, with an infinity",
       {1e30f, 1e-30f, -0.0f, INFINITY, 7.0f},
       {0.0, 0.0, 0.0, 0.0, 8.0},
       {static_cast<double>(1e30f), static_cast<double>(1e-30f), 0.0, kDoubleInfinity, 7.0},
       {static_cast<double>(1e30f), static_cast<double>(1e-30f), 0.0, kDoubleInfinity, -1.0},
       {static_cast<double>(1e30f) * static_cast<double>(1e30f),
        static_cast<double>(1e-30f) * static_cast<double>(1e-30f), 0.0, kDoubleInfinity, 1.0}},
      {"nine",
       {1, 2, 3, 4, 5, 6, 7, 8, 9},
       {5, 5, 5, 5, 5, 5, 5, 5, 5},
       {1, 2, 3, 4, 5, 6, 7, 8, 9},
       {-4, -3, -2, -1, 0, 1, 2, 3, 4},
       {16, 9, 4, 1, 0, 1, 4, 9, 16}},
  };
  using Variant = void (*)(const detail::SumsRun&);
  std::vector<Variant> variants = {detail::add_to_sums_baseline};
  if (detail::avx2_available()) variants.push_back(detail::add_to_sums_avx2);
  for (const SumsCase& c : cases) {
    for (const Variant add : variants) {
      // Each column starts at 0 and has one more element, which must stay 42.
      const std::size_t n = c.values.size();
      std::vector<double> sum(n + 1, 0.0), shifted_sum(n + 1, 0.0), shifted_squares(n + 1, 0.0);
      sum[n] = shifted_sum[n] = shifted_squares[n] = 42.0;
      add({.values = c.values,
           .sum = sum.data(),
           .shift = c.shift.data(),
           .shifted_sum = shifted_sum.data(),
           .shifted_squares = shifted_squares.data()});
      for (std::size_t j = 0; j < n; ++j) {
        EXPECT_EQ(std::bit_cast<uint64_t>(sum[j]), std::bit_cast<uint64_t>(c.sum[j])) << c.name;
        EXPECT_EQ(std::bit_cast<uint64_t>(shifted_sum[j]),
                  std::bit_cast<uint64_t>(c.shifted_sum[j]))
            << c.name;
        EXPECT_EQ(std::bit_cast<uint64_t>(shifted_squares[j]),
                  std::bit_cast<uint64_t>(c.shifted_squares[j]))
            << c.name;
      }
      EXPECT_EQ(sum[n] + shifted_sum[n] + shifted_squares[n], 126.0) << c.name;
    }
  }
}

TEST(ColumnStatistics, Table) {
  for (const auto& c : kStatistics) {
    ColumnAccumulators sums;
    sums.clear();
    for (const float v : c.values)
      sums.add_points({&v, 1});
    const ColumnStatistics st = sums.summary(1, static_cast<int>(c.values.size()))[0];
    EXPECT_EQ(text(st.mean), c.mean) << c.name;
    EXPECT_EQ(text(st.sd), c.sd) << c.name;
    EXPECT_EQ(text(st.cv), c.cv) << c.name;
  }
}

// Replicates, whose deviation is a small difference of large sums: each
// statistic is within one binary32 step of the exact one, computed here in
// two passes in extended precision.
struct Replicates {
  const char* name;
  int files;
  double centre;
  double spread;  // the values lie within centre ± spread
};

const Replicates kReplicates[] = {
    {"absorbance", 10, 0.8123, 0.0005}, {"counts", 10, 123456, 20},
    {"precise", 30, 2.5, 0.0002},       {"many files", 2000, 1000, 0.05},
    {"near 1E+20", 6, 1e20, 3e17},      {"near 1E-25", 6, 1e-25, 2e-26},
    {"ordinary spectrum", 25, 50, 12},  {"negative", 12, -7.25, 0.001},
};

std::vector<float> replicate_values(const Replicates& r) {
  std::vector<float> values;
  uint64_t state = 20261210;
  for (int i = 0; i < r.files; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;  // [0, 1)
    values.push_back(static_cast<float>(r.centre + r.spread * (2 * unit - 1)));
  }
  return values;
}

struct Exact {
  long double mean, sd, cv;
};
Exact exact_statistics(const std::vector<float>& values) {
  const auto k = static_cast<long double>(values.size());
  long double sum = 0;
  for (const float v : values)
    sum += static_cast<long double>(v);
  const long double mean = sum / k;
  long double squares = 0;
  for (const float v : values) {
    const long double d = static_cast<long double>(v) - mean;
    squares += d * d;
  }
  const long double sd = std::sqrt(squares / (k - 1));
  return {mean, sd, sd * 100 / mean};
}

// Whether `cell` is the text of `exact` rounded to binary32, or of a
// neighbour one step away.
bool within_one_step(const std::string& cell, long double exact) {
  const auto nearest = static_cast<float>(exact);
  for (const float candidate :
       {nearest, std::nextafter(nearest, -kInf), std::nextafter(nearest, kInf)}) {
    if (text(candidate) == cell) return true;
  }
  return false;
}

TEST(ColumnStatistics, ReplicatesWithinOneStep) {
  for (const Replicates& r : kReplicates) {
    const std::vector<float> values = replicate_values(r);
    ColumnAccumulators sums;
    sums.clear();
    for (const float& v : values)
      sums.add_points({&v, 1});
    const ColumnStatistics st = sums.summary(1, r.files)[0];
    const Exact exact = exact_statistics(values);
    EXPECT_TRUE(within_one_step(text(st.mean), exact.mean)) << r.name << ": " << text(st.mean);
    EXPECT_TRUE(within_one_step(text(st.sd), exact.sd))
        << r.name << ": " << text(st.sd) << ", exact " << text(static_cast<float>(exact.sd));
    EXPECT_TRUE(within_one_step(text(st.cv), exact.cv))
        << r.name << ": " << text(st.cv) << ", exact " << text(static_cast<float>(exact.cv));
  }
}

}  // namespace
}  // namespace tovel
