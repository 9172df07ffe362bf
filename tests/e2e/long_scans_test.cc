// Scans longer than 250 points: --max-points, the hint at the limit, the
// warning for a table wider than spreadsheets show, and a picture that
// thins a long curve without losing its peaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"

namespace tovel::e2e {
namespace {

// Two files of n points: x = 1..n, y the point's number modulo 97.
void write_long_series(const Scratch& dir, int n) {
  for (int i = 1; i <= 2; ++i) {
    std::string text;
    for (int j = 1; j <= n; ++j)
      text += std::to_string(j) + "\t" + std::to_string((j * i) % 97) + "\n";
    dir.write("N000" + std::to_string(i) + ".DAT", text);
  }
}

struct LimitCase {
  int points;  // of each file
  std::vector<std::string> options;
  int status;
  std::string err;
};

TEST(LongScans, MaxPoints) {
  const std::string try_help = "Try 'tovel --help'.\n";
  const std::string refusal =
      "tovel: --max-points takes a whole number from 1 to 1000000\n" + try_help;
  const LimitCase cases[] = {
      {250, {"--max-points", "250"}, 0, ""},
      {1000, {"--max-points", "1000"}, 0, ""},
      {1000, {"--max-points=999"}, 1, "tovel: N0001.DAT:1000: more than 999 points\n"},
      {840,
       {},
       1,
       "tovel: N0001.DAT:251: more than 250 points\n"
       "tovel: hint: N0001.DAT has 840 points; --max-points 840 collates files up to that "
       "length\n"},
      {250, {"--max-points", "0"}, 2, refusal},
      {250, {"--max-points", "-3"}, 2, refusal},
      {250, {"--max-points", "2e3"}, 2, refusal},
      {250, {"--max-points", "1000001"}, 2, refusal},
      {250, {"--max-points", "abc"}, 2, refusal},
      {250, {"N", "2", "--max-points"}, 2, refusal},
      // Named files are collated whole unless --max-points says otherwise.
      {1000, {"--files"}, 0, ""},
      {1000,
       {"--max-points", "999", "--files"},
       1,
       "tovel: N0001.DAT:1000: more than 999 points\n"},
  };
  Scratch plain;
  write_long_series(plain, 250);
  ASSERT_EQ(run_tovel(plain, {{"N", "2"}, "0\n"}).status, 0);
  for (const LimitCase& c : cases) {
    Scratch dir;
    write_long_series(dir, c.points);
    std::vector<std::string> args = c.options;
    if (args.empty() || args[0] != "N") {
      if (args.empty() || args.back() != "--files") {
        args.insert(args.end(), {"N", "2"});
      } else {
        args.insert(args.end(), {"N0001.DAT", "N0002.DAT"});
      }
    }
    const Outcome r = run_tovel(dir, {args, "0\n"});
    const std::string shown = ::testing::PrintToString(args);
    EXPECT_EQ(r.status, c.status) << shown;
    EXPECT_EQ(r.err, c.err) << shown;
    if (c.status == 2) {
      EXPECT_FALSE(dir.exists("All_N.txt")) << shown;
    } else if (c.points == 250) {
      EXPECT_EQ(dir.read("All_N.txt"), plain.read("All_N.txt")) << shown;
    } else if (c.status == 0) {
      const std::string table = dir.read("All_N.txt");
      EXPECT_NE(table.find("\t     1000.    \t      Xmax\t"), std::string::npos) << shown;
      EXPECT_TRUE(table.ends_with("\t\n")) << shown;
    }
  }
}

// A table of more columns than a spreadsheet shows is written whole, with
// one warning; x from 1 to 16382 need five digits in the header.
TEST(LongScans, WiderThanSpreadsheets) {
  Scratch dir;
  write_long_series(dir, 16382);
  const Outcome r = run_tovel(dir, {{"--max-points", "20000", "N", "2"}, "0\n"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "tovel: warning: the header row shows \"0.1000E+05\" for x = 10000 and x = 10001 "
            "(columns 10000 and 10001), and so do 5743 more neighbouring pairs; --digits 5 tells "
            "them apart\n"
            "tovel: warning: the table has 16385 columns; spreadsheets show the first 16384; "
            "--transpose writes them as rows\n");
  const std::string table = dir.read("All_N.txt");
  EXPECT_EQ(table.find('\n'), 11 + 16382 * 15 + 21);  // the header row, whole
  // Turned, the table is as many rows of 6 columns, and is not warned of.
  const Outcome turned =
      run_tovel(dir, {{"--transpose", "--max-points", "20000", "N", "2"}, "0\n"});
  EXPECT_EQ(turned.status, 0);
  EXPECT_EQ(turned.err, r.err.substr(0, r.err.find("tovel: warning: the table has")));
  const std::string rows = dir.read("All_N.txt");
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 16385);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '\t'), 16385 * 5);  // 6 columns a row
}

// The topmost row of pixels that are mostly of one colour (0 red, 1
// green), or -1.
long topmost_row_of(const RenderedImage& image, int colour) {
  const std::vector<unsigned char>& rgb = image.rgb;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    const int main = rgb[i + static_cast<std::size_t>(colour)];
    const int others = rgb[i + 1 - static_cast<std::size_t>(colour)] + rgb[i + 2];
    if (main > 200 && others < 160) {
      return static_cast<long>(i / 3) / image.width;
    }
  }
  return -1;
}

// A curve of 4001 points is thinned to its pixel columns, yet a spike of a
// single point still reaches the top of the picture, and the picture stays
// small.
TEST(LongScans, ThinnedCurveKeepsItsSpike) {
  Scratch dir;
  for (int i = 1; i <= 2; ++i) {
    std::string text;
    for (int j = 1; j <= 4001; ++j)
      text += std::to_string(j) + " " + (j == 2222 && i == 1 ? "100" : "0") + "\n";
    dir.write("P000" + std::to_string(i) + ".DAT", text);
  }
  const Outcome r = run_tovel(dir, {{"--plot", "--max-points", "4001", "P", "2"}, "0\n"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string svg = dir.read("All_P.svg");
  EXPECT_LT(svg.size(), 40000u);
  // The first file's curve, drawn in green, reaches the red dot of its peak,
  // the spike's top, which is drawn over the curve's end.
  const std::string curve = "<path stroke=\"#4e79a7\"";
  ASSERT_NE(svg.find(curve), std::string::npos);
  svg.replace(svg.find(curve), curve.size(), "<path stroke=\"#00ff00\" stroke-opacity=\"1\"");
  dir.write("green.svg", svg);
  const RenderedImage image = render_svg(dir.at("green.svg"));
  ASSERT_GT(image.width, 0);
  const long peak = topmost_row_of(image, 0);
  const long curve_top = topmost_row_of(image, 1);
  ASSERT_GT(peak, 50);
  EXPECT_GE(curve_top, peak);
  EXPECT_LE(curve_top, peak + 8);
}

}  // namespace
}  // namespace tovel::e2e
