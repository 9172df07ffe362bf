// The picture --plot draws beside the table, checked with real tools: an
// XML parser (xmllint), a renderer (rsvg-convert) and the rendered pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"

namespace tovel::e2e {
namespace {

// k files of n lines, x = 1..n and y from `y_of(file, point)`.
void write_series(const Scratch& dir, int k, int n, std::string (*y_of)(int, int)) {
  for (int i = 1; i <= k; ++i) {
    std::string text;
    for (int j = 1; j <= n; ++j)
      text += std::to_string(j) + " " + y_of(i, j) + "\n";
    char name[16];
    std::snprintf(name, sizeof name, "S%04d.DAT", i);
    dir.write(name, text);
  }
}

int shell(const std::string& command) {
  return std::system(command.c_str());
}

// The frame of the plotting area, in pixels of the rendered picture.
constexpr long kFrameLeft = 80, kFrameRight = 620, kFrameTop = 50, kFrameBottom = 440;

// The colours of a rendered picture: how many of its pixels are not white,
// how many are the peaks' red, and where green shows between the frame's
// sides: on its top or bottom edge, or inside.
struct Pixels {
  long drawn = 0;
  long red = 0;
  long total = 0;
  long green_inside = 0;
  long green_on_edge = 0;
};

Pixels rendered_pixels(const std::string& svg_path) {
  const RenderedImage image = render_svg(svg_path);
  const std::vector<unsigned char>& rgb = image.rgb;
  Pixels pixels;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    ++pixels.total;
    pixels.drawn += rgb[i] < 240 || rgb[i + 1] < 240 || rgb[i + 2] < 240;
    const long x = static_cast<long>(i / 3) % image.width;
    const long y = static_cast<long>(i / 3) / image.width;
    pixels.red += rgb[i] > 180 && rgb[i + 1] < 80 && rgb[i + 2] < 80;
    const bool green = rgb[i + 1] > rgb[i] + 40 && rgb[i + 1] > rgb[i + 2] + 40;
    if (!green || x <= kFrameLeft + 2 || x >= kFrameRight - 2) continue;
    const bool on_edge = std::abs(y - kFrameTop) <= 2 || std::abs(y - kFrameBottom) <= 2;
    (on_edge ? pixels.green_on_edge : pixels.green_inside) += 1;
  }
  return pixels;
}

struct PlotCase {
  const char* name;
  int files;
  std::string (*y_of)(int file, int point);
  bool peaks;  // some file has a y above 0
};

// With --plot the run writes All_S.svg, which the listing shows; nothing
// else changes. The picture is well-formed XML, renders, and is drawn on.
TEST(Plot, PictureBesideTheTable) {
  const PlotCase cases[] = {
      {"a peak in five files", 5,
       [](int i, int j) { return std::to_string(100 - (j - 25) * (j - 25) / 10 + i); }, true},
      {"Infinity and NaN among the values", 3,
       [](int i, int j) {
         return j == 7 ? std::string(i == 2 ? "nan" : "inf") : std::to_string(i * j % 17);
       },
       true},
      {"every value equal", 2, [](int, int) { return std::string("5"); }, true},
      {"no y above 0", 3, [](int i, int j) { return std::to_string(-10 - (i * j) % 20); }, false},
      {"lowest and highest at round numbers", 60,
       [](int i, int j) { return std::to_string(-20 + 120 * ((i * 7 + j * 3) % 41) / 40); }, true},
  };
  for (const PlotCase& c : cases) {
    Scratch plain;
    Scratch drawn;
    write_series(plain, c.files, 50, c.y_of);
    write_series(drawn, c.files, 50, c.y_of);
    const Outcome without = run_tovel(plain, {{"S", std::to_string(c.files)}, "0\n"});
    const Outcome with = run_tovel(drawn, {{"--plot", "S", std::to_string(c.files)}, "0\n"});
    EXPECT_EQ(with.status, 0) << c.name << with.err;
    EXPECT_EQ(with.err, without.err) << c.name;
    std::string expected_out = without.out;
    const std::string listing = "ls -l All_S.csv All_S.txt";
    expected_out.replace(expected_out.find(listing), listing.size(),
                         "ls -l All_S.csv All_S.svg All_S.txt");
    EXPECT_EQ(with.out, expected_out) << c.name;
    EXPECT_EQ(drawn.read("All_S.txt"), plain.read("All_S.txt")) << c.name;

    const std::string svg = drawn.at("All_S.svg");
    EXPECT_EQ(shell("xmllint --noout '" + svg + "'"), 0) << c.name;
    const Pixels pixels = rendered_pixels(svg);
    ASSERT_GT(pixels.total, 0) << c.name;
    EXPECT_GT(pixels.drawn, pixels.total / 50) << c.name;  // lines, band, text: 2% and more
    EXPECT_EQ(pixels.red > 10, c.peaks) << c.name;         // the peaks, or no red at all
    if (c.files > 50) {
      // The dashed lowest and highest lines, coloured green, show inside the
      // frame and nowhere on it.
      std::string picture = drawn.read("All_S.svg");
      const std::string dashed = "stroke=\"#777\"";
      const std::size_t at = picture.find(dashed);
      ASSERT_NE(at, std::string::npos) << c.name;
      drawn.write("green.svg", picture.replace(at, dashed.size(), "stroke=\"#0c0\""));
      const Pixels lines = rendered_pixels(drawn.at("green.svg"));
      ASSERT_GT(lines.total, 0) << c.name;
      EXPECT_GT(lines.green_inside, 500) << c.name;
      EXPECT_EQ(lines.green_on_edge, 0) << c.name;
    }
    const std::string last =
        "S" + std::string(4 - std::to_string(c.files).size(), '0') + std::to_string(c.files);
    EXPECT_EQ(drawn.read("All_S.svg").find("<title>" + last + ".DAT</title>") != std::string::npos,
              c.files <= 50)
        << c.name;
    EXPECT_EQ(drawn.read("All_S.svg").find(">" + last + "</text>") != std::string::npos,
              c.files <= 10)
        << c.name;
  }
}

// Of files of different lengths, the mean is drawn over the columns in
// which every file gave a y value, not through another file's peak x.
TEST(Plot, RaggedSeriesDrawsTheColumnsEveryFileGave) {
  Scratch dir;
  std::string ten;
  std::string eight;
  for (int j = 1; j <= 10; ++j)
    ten += std::to_string(j) + " 1\n";
  for (int j = 1; j <= 8; ++j)
    eight += (j == 8 ? "550 1.5" : std::to_string(j) + " 1") + "\n";
  dir.write("S0001.DAT", ten);
  dir.write("S0002.DAT", eight);
  dir.write("S0003.DAT", ten);
  ASSERT_EQ(run_tovel(dir, {{"--plot", "S", "3"}, "0\n"}).status, 0);
  const std::string svg = dir.read("All_S.svg");
  const std::size_t mean = svg.find("stroke-linejoin=\"round\" d=\"");
  ASSERT_NE(mean, std::string::npos);
  const std::string path = svg.substr(mean, svg.find("\"/>", mean) - mean);
  int points = 0;
  for (std::size_t at = path.find(" L"); at != std::string::npos; at = path.find(" L", at + 1))
    ++points;
  EXPECT_EQ(points + 1, 8) << path;
}

// With a prefix of 27 characters or more the picture's name, cut at 32,
// is the table's: the run says so and leaves the table whole.
TEST(Plot, PictureNeverReplacesTheTable) {
  Scratch dir;
  const std::string prefix = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0";
  dir.write(prefix + "0001.", "1 1\n");
  dir.write(prefix + "0002.", "1 2\n");
  const Outcome r = run_tovel(dir, {{"--plot", prefix, "2"}, "0\n"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "tovel: warning: rows share labels: ABCDEFGHIJ stands for " + prefix + "0001. to " +
                prefix +
                "0002.; row labels hold 10 characters, and --files labels rows by whole "
                "names\n"
                "tovel: All_" +
                prefix + ".: cannot write the picture file\n" +
                "Run-time error: The picture's name, cut at 32 characters, is the table's\n");
  EXPECT_TRUE(dir.read("All_" + prefix + ".").starts_with("X Values >\t"));
}

// A prefix of any bytes still makes a picture that an XML parser accepts:
// what XML cannot hold becomes U+FFFD.
TEST(Plot, AnyPrefixMakesWellFormedXml) {
  const std::string prefixes[] = {"\xED\xA0\x80", "\xEF\xBF\xBE", "\xC0\xAF", "\xF4\x90\x80\x80",
                                  "a\x01<b\x1F&"};
  for (const std::string& prefix : prefixes) {
    Scratch dir;
    dir.write(prefix + "0001.DAT", "1 1\n2 3\n");
    dir.write(prefix + "0002.DAT", "1 2\n2 1\n");
    const Outcome r = run_tovel(dir, {{"--plot", prefix + "0001.DAT", "2"}, "0\n"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(shell("xmllint --noout '" + dir.at("All_" + prefix + ".svg") + "'"), 0);
  }
}

// A full series, 9999 files of 250 points, is drawn without its single
// curves and stays small.
TEST(Plot, FullSeriesStaysSmall) {
  Scratch dir;
  write_series(dir, 9999, 250,
               [](int i, int j) { return std::to_string((i * 37 + j * 11) % 1000); });
  const Outcome r = run_tovel(dir, {{"--plot", "S", "9999"}, "0\n"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string svg = dir.read("All_S.svg");
  EXPECT_GT(svg.size(), 10000u);
  EXPECT_LT(svg.size(), 1000000u);
  EXPECT_EQ(shell("xmllint --noout '" + dir.at("All_S.svg") + "'"), 0);
}

}  // namespace
}  // namespace tovel::e2e
