// End-to-end tests of instrument files read through xylib: files of each
// format are made here, following the layouts xylib reads, and the table of
// a series of them must be the table of the same values written as text.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "instrument_images.h"

namespace tovel::e2e {
namespace {

using Points = std::vector<std::pair<float, float>>;

// Bruker RAW version 4: its magic number and an empty header.
std::string bruker_raw_v4() {
  Image image(1024);
  image.put_text(0, "RAW4.00");
  return image.bytes();
}

// Princeton Instruments WinSpec SPE: a 4100-byte header, a linear x
// calibration, and frames of float counts; `cut` bytes cut off the end.
std::string winspec_spe(double start, double step, const std::vector<std::vector<float>>& frames,
                        std::size_t cut = 0) {
  Image image(4100);
  image.put<uint16_t>(42, static_cast<uint16_t>(frames[0].size()));  // xdim
  image.put<uint16_t>(108, 0);                                       // floats
  image.put<uint16_t>(656, 1);                                       // ydim
  image.put<uint32_t>(1446, static_cast<uint32_t>(frames.size()));
  image.put<char>(3098, 1);  // x calibration valid
  image.put<char>(3101, 1);  // of order 1
  image.put<double>(3263, start);
  image.put<double>(3271, step);
  std::size_t at = 4100;
  for (const std::vector<float>& frame : frames) {
    for (const float y : frame) {
      image.put<float>(at, y);
      at += 4;
    }
  }
  const std::string bytes = image.bytes();
  return bytes.substr(0, bytes.size() - cut);
}

Points points_of(double start, double step, const std::vector<float>& counts) {
  Points points;
  for (std::size_t i = 0; i < counts.size(); ++i)
    points.emplace_back(static_cast<float>(start + step * static_cast<double>(i)), counts[i]);
  return points;
}

// The points as text, each value with 9 significant digits.
std::string as_text(const Points& points) {
  std::string text;
  for (const auto& [x, y] : points) {
    char digits[64];
    char* end = std::to_chars(digits, digits + 32, x, std::chars_format::general, 9).ptr;
    *end++ = ' ';
    end = std::to_chars(end, digits + 64, y, std::chars_format::general, 9).ptr;
    text += std::string(digits, end) + "\n";
  }
  return text;
}

struct InstrumentFile {
  std::string name;
  std::string bytes;
  Points points;  // what it holds, for its text twin
};

struct InstrumentCase {
  const char* name;
  std::vector<InstrumentFile> files;
  std::vector<std::string> options;
  int status;
  std::string err;
};

TEST(Instruments, EachFormatGivesTheTableOfItsValuesAsText) {
  const std::vector<float> a = {120, 135, 980, 410, 130}, b = {118, 140, 1010, 395, 128};
  const std::vector<float> e = {1.5f, 2.25f, 7.75f, 3.125f}, f = {1.25f, 2.5f, 8.5f, 3};
  const InstrumentCase cases[] = {
      {"PANalytical XRDML",
       {{"quartz-1.xrdml", xrdml(10, 11, a), points_of(10, 0.25, a)},
        {"quartz-2.xrdml", xrdml(10, 11, b), points_of(10, 0.25, b)}},
       {},
       0,
       ""},
      {"Bruker RAW version 3, beside a text file",
       {{"BT86-1.raw", bruker_raw_v3(20, 0.5, a), points_of(20, 0.5, a)},
        {"BT86-2.txt", as_text(points_of(20, 0.5, b)), points_of(20, 0.5, b)}},
       {},
       0,
       ""},
      {"Princeton WinSpec SPE",
       {{"cell_1.spe", winspec_spe(400, 0.5, {e}), points_of(400, 0.5, e)},
        {"cell_2.spe", winspec_spe(400, 0.5, {f}), points_of(400, 0.5, f)}},
       {},
       0,
       ""},
      {"two blocks: the first, with a warning",
       {{"two_1.spe", winspec_spe(400, 0.5, {e, f}), points_of(400, 0.5, e)},
        {"two_2.spe", winspec_spe(400, 0.5, {f, e}), points_of(400, 0.5, f)}},
       {},
       0,
       "tovel: warning: two_1.spe holds 2 blocks; the first is collated (--block N takes "
       "another)\n"},
      {"two blocks: --block 2",
       {{"two_1.spe", winspec_spe(400, 0.5, {e, f}), points_of(400, 0.5, f)},
        {"two_2.spe", winspec_spe(400, 0.5, {f, e}), points_of(400, 0.5, e)}},
       {"--block", "2"},
       0,
       ""},
      {"--format names the format of files of any name",
       {{"quartz-1.txt", xrdml(10, 11, a), points_of(10, 0.25, a)},
        {"quartz-2.txt", xrdml(10, 11, b), points_of(10, 0.25, b)}},
       {"--format", "xrdml"},
       0,
       ""},
      {"a block the file lacks",
       {{"two_1.spe", winspec_spe(400, 0.5, {e, f}), {}},
        {"two_2.spe", winspec_spe(400, 0.5, {f, e}), {}}},
       {"--block", "3"},
       2,
       "tovel: two_1.spe: --block 3, but it holds 2 blocks\n"
       "Run-time error: Cannot read file 'two_1.spe'\n"},
      {"a truncated file",
       {{"cut_1.spe", winspec_spe(400, 0.5, {e}), {}},
        {"cut_2.spe", winspec_spe(400, 0.5, {f}, 6), {}}},
       {},
       2,
       "tovel: cut_2.spe: cannot read it as a PI WinSpec SPE file: unexpected eof\n"
       "Run-time error: Cannot read file 'cut_2.spe'\n"},
      {"Bruker RAW version 4, which this xylib does not know",
       {{"v4_1.raw", bruker_raw_v4(), {}}, {"v4_2.raw", bruker_raw_v4(), {}}},
       {},
       2,
       "tovel: v4_1.raw: xylib recognises no instrument format in it; --format text reads it "
       "as text\nRun-time error: Cannot read file 'v4_1.raw'\n"},
  };
  // A build without xylib refuses every instrument file before it writes.
  Scratch probe;
  const bool with_xylib =
      run_tovel(probe, {{"--version"}, ""}).out.find("xylib") != std::string::npos;
  for (const InstrumentCase& c : cases) {
    Scratch native, text;
    std::vector<std::string> args = {"-n"}, text_args = {"-n"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("--files");
    text_args.push_back("--files");
    for (const InstrumentFile& file : c.files) {
      native.write(file.name, file.bytes);
      const std::string twin = file.name.substr(0, file.name.rfind('.')) + ".txt";
      text.write(twin, as_text(file.points));
      args.push_back(file.name);
      text_args.push_back(twin);
    }
    const Outcome r = run_tovel(native, {args, ""});
    if (!with_xylib) {
      EXPECT_EQ(r.status, 2) << c.name;
      EXPECT_EQ(r.err,
                "tovel: this build reads text data files only; build it with libxy-dev for "
                "instrument formats\n")
          << c.name;
      continue;
    }
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    if (c.status != 0) continue;
    const Outcome twin = run_tovel(text, {text_args, ""});
    ASSERT_EQ(twin.status, 0) << c.name << twin.err;
    const std::string table =
        "All_" + c.files[0].name.substr(0, c.files[0].name.find_first_of("-_")) + ".txt";
    EXPECT_NE(native.read(table), "<missing>") << c.name << " " << table;
    EXPECT_EQ(native.read(table), text.read(table)) << c.name;
  }
}

}  // namespace
}  // namespace tovel::e2e
