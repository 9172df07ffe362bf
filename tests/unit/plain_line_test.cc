// The direct line reader against the general one.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "line_reader_differential.h"

namespace tovel {
namespace {

// Lines of the usual shapes, short and long, are read by the direct reader,
// with the general reader's values.
TEST(ReadPlainLine, UsualLinesAreReadDirectly) {
  const char* const lines[] = {
      "400\t8.4215\n",
      "400.8,-18.299\n",
      "401.6, 53.33\r\n",
      "402.4   15.57\n",
      "403.2 \t-1.6183e-05\t0\n",
      "+1.5 .25 -7.\n",
      "1.2E+03,4.5e-7\n",
      "\n",
      " , \t\n",
      "123456.7654321 9999999\n",
      "12345678901234 1\n",
      "1 2 3\n",
      "    1.000000E+00    2.500000E-01    0.000000E+00\n",
      "4.008000000000000114e+02 1.235567800000000034e+03\n",
      "4.008000000000000114e+02 1.235567800000000034e+03 -2.500000000000000000e-01\r\n",
      "400.80000000000001\t1235.5678\t6.6666666666666666e-06\n",
      "-602214076000000000000000.0000000000 1.5\n",
  };
  for (const char* line : lines) {
    const std::string image = std::string(line) + "7 8\n";
    const testing::LineReaderComparison c = testing::compare_line_readers(image, 4096);
    EXPECT_EQ(c.difference, "") << line;
    EXPECT_EQ(c.direct, 2) << line;
  }
}

// A random token: mostly numbers of the plain shape, some of the other forms
// the field allows, some that are not numbers.
std::string random_token(std::mt19937& random) {
  static const char* const kOdd[] = {"1e",
                                     "1.2.3",
                                     "+",
                                     "-",
                                     "-.",
                                     ".",
                                     "1-2",
                                     "1+5",
                                     "1d5",
                                     "2q-3",
                                     "nan",
                                     "Inf",
                                     "x",
                                     "1e12345",
                                     "e5",
                                     "1.5E",
                                     "--1",
                                     "1,5",
                                     "0.0",
                                     "-0",
                                     "1e-45",
                                     "3.5e38",
                                     "123456789012345678",
                                     "0000000001.5"};
  const int kind = static_cast<int>(random() % 10);
  if (kind == 0) return kOdd[random() % std::size(kOdd)];
  std::string t;
  if (random() % 3 == 0) t += random() % 2 ? '-' : '+';
  const int whole = static_cast<int>(random() % 12);
  const int fraction = static_cast<int>(random() % (random() % 4 == 0 ? 22 : 10));
  for (int i = 0; i < whole; ++i)
    t += static_cast<char>('0' + random() % 10);
  if (random() % 4 != 0) t += '.';
  for (int i = 0; i < fraction; ++i)
    t += static_cast<char>('0' + random() % 10);
  if (random() % 5 == 0) {
    t += random() % 2 ? 'e' : 'E';
    if (random() % 2) t += random() % 2 ? '-' : '+';
    const int digits = static_cast<int>(random() % 6);
    for (int i = 0; i < digits; ++i)
      t += static_cast<char>('0' + random() % 10);
  }
  return t;
}

std::string random_line(std::mt19937& random) {
  static const char* const kSeparators[] = {" ", "\t", ",", ", ", "   ", " \t", ",,", "          "};
  static const char* const kEnds[] = {"\n", "\n", "\n", "\r\n", "\r", "\n\r"};
  std::string line;
  if (random() % 4 == 0) line += kSeparators[random() % std::size(kSeparators)];
  const int tokens = static_cast<int>(random() % 5);
  for (int i = 0; i < tokens; ++i) {
    if (i > 0) line += kSeparators[random() % std::size(kSeparators)];
    line += random_token(random);
  }
  if (random() % 4 == 0) line += kSeparators[random() % std::size(kSeparators)];
  if (random() % 50 == 0) line += std::string(random() % 90, ' ') + "9";
  return line + kEnds[random() % std::size(kEnds)];
}

// Random lines, alone and in runs, with every line end and none at the end of
// the input, read in chunks of every size from one byte.
TEST(ReadPlainLine, AgreesWithTheGeneralReader) {
  std::mt19937 random(11);
  int direct = 0;
  int on_grid = 0;
  int declined = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string image;
    const int lines = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < lines; ++i)
      image += random_line(random);
    if (random() % 4 == 0) image.pop_back();  // no line end at the end
    const std::size_t chunk = round % 3 == 0 ? 1 + random() % 64 : 4096;
    const testing::LineReaderComparison c = testing::compare_line_readers(image, chunk);
    ASSERT_EQ(c.difference, "") << image;
    direct += c.direct;
    on_grid += c.on_grid;
    declined += c.declined;
  }
  // Each kind occurs often enough for the comparison to mean something.
  EXPECT_GT(direct, 5000);
  EXPECT_GT(on_grid, 1000);
  EXPECT_GT(declined, 2000);
}

}  // namespace
}  // namespace tovel
