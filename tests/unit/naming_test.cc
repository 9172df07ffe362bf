#include "run/naming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovel {
namespace {

struct Case {
  std::string given;
  int prefix_length;
  std::string table_name;  // trimmed
  std::string file2;       // trimmed
  std::string label2;      // 10 characters
};

const Case kCases[] = {
    {"Sample0001.DAT", 6, "All_Sample.txt", "Sample0002.DAT", "Sample0002"},
    {"Sample0001", 6, "All_Sample.txt", "Sample0002.DAT", "Sample0002"},
    {"Sample", 6, "All_Sample.txt", "Sample0002.DAT", "Sample0002"},
    {"run.2.0001.DAT", 6, "All_run.2..txt", "run.2.0002.DAT", "run.2.0002"},
    {"Probe_A0001.dat", 7, "All_Probe_A.txt", "Probe_A0002.DAT", "Probe_A000"},
    {"a.DAT", 5, "All_a.DAT.txt", "a.DAT0002.DAT", "a.DAT0002 "},
    {"", 0, "All_.txt", "0002.DAT", "0002      "},
    {"0001.DAT", 8, "All_0001.DAT.txt", "0001.DAT0002.DAT", "0001.DAT00"},
    {"results.txt", 3, "All_res.txt", "res0002.DAT", "res0002   "},
    {"ab.0001.DAT", 3, "All_ab..txt", "ab.0002.DAT", "ab.0002   "},  // first point too early
    {"x y0001.DAT", 3, "All_x y.txt", "x y0002.DAT", "x y0002   "},
    // long prefixes: the extension, then the number, are cut at 32
    {std::string(25, 'p') + "0001.DAT", 25, "All_" + std::string(25, 'p') + ".tx",
     std::string(25, 'p') + "0002.DA", std::string(10, 'p')},
    {std::string(28, 'p') + "0001.DAT", 28, "All_" + std::string(28, 'p'),
     std::string(28, 'p') + "0002", std::string(10, 'p')},
    {std::string(29, 'p') + ".DAT", 25, "All_" + std::string(25, 'p') + ".tx",  // given name cut
     std::string(25, 'p') + "0002.DA", std::string(10, 'p')},
    {std::string(40, 'q'), 32, "All_" + std::string(28, 'q'), std::string(32, 'q'),
     std::string(10, 'q')},
};

TEST(SeriesNaming, Table) {
  for (const auto& c : kCases) {
    const SeriesNaming naming{Name(c.given)};
    EXPECT_EQ(naming.prefix_length(), c.prefix_length) << c.given;
    EXPECT_EQ(naming.table_name(), c.table_name) << c.given;
    // the copy's name is the table's with "csv" for "txt", cut alike
    const std::string table = "All_" + std::string(naming.prefix()) + ".txt";
    const std::string copy = "All_" + std::string(naming.prefix()) + ".csv";
    EXPECT_EQ(naming.table_name(), trim_trailing_blanks(table.substr(0, 32))) << c.given;
    EXPECT_EQ(naming.copy_name(), trim_trailing_blanks(copy.substr(0, 32))) << c.given;
    EXPECT_EQ(naming.listing_pattern(), "All_*");
    const FileNames f2 = naming.file(2);
    EXPECT_EQ(f2.data_name, c.file2) << c.given;
    EXPECT_EQ(f2.row_label, trim_trailing_blanks(c.label2)) << c.given;
  }
}

TEST(SeriesNaming, FileNumbersAreFourDigits) {
  const SeriesNaming naming{Name("S0001.DAT")};
  const std::pair<int, std::string> numbers[] = {
      {1, "0001"}, {42, "0042"}, {999, "0999"}, {9999, "9999"}};
  for (const auto& [i, number_text] : numbers)
    EXPECT_EQ(naming.file(i).data_name, "S" + number_text + ".DAT");
}

struct ListedCase {
  std::vector<std::string> files;
  std::string prefix;
  std::string label2;
  std::size_t label_width;
};

// Files named one by one: the outputs' prefix their base names share, and
// each row labelled by its base name without the extension.
TEST(SeriesNaming, ListedFiles) {
  const std::string long_name = "2026-12-10_sample-A_scan_0001";
  const ListedCase cases[] = {
      {{"sample_001.txt", "sample_002.txt", "sample_120.txt"}, "sample", "sample_002", 10},
      {{"1d-1.spe", "1d-2.spe", "1d-12.spe"}, "1d", "1d-2", 10},
      {{"data/run.2.0001.dat", "data/run.2.0002.dat"}, "run.2", "run.2.0002", 10},
      {{"x.csv", "y.csv"}, "series", "y", 10},
      {{"001.txt", "002.txt"}, "series", "002", 10},
      {{long_name + ".xy", "/tmp/" + long_name.substr(0, 28) + "2.xy"},
       "2026-12-10_sample-A_scan",
       long_name.substr(0, 28) + "2",
       long_name.size()},
      {{".hidden1", ".hidden2"}, ".hidden", ".hidden2", 10},
  };
  for (const ListedCase& c : cases) {
    const SeriesNaming naming(c.files, common_prefix(c.files));
    EXPECT_EQ(naming.prefix(), c.prefix) << c.files[0];
    EXPECT_EQ(naming.table_name(), "All_" + c.prefix + ".txt") << c.files[0];
    EXPECT_EQ(naming.file(2).data_name, c.files[1]) << c.files[0];
    EXPECT_EQ(naming.file(2).row_label, c.label2) << c.files[0];
    EXPECT_EQ(naming.label_width(), c.label_width) << c.files[0];
  }
}

}  // namespace
}  // namespace tovel
