// End-to-end tests of --files: named files collated in the order given,
// their outputs' names and row labels, and the refusals that come before
// anything is written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"

namespace tovel::e2e {
namespace {

// The names in `dir` that begin with All_ and are not among `files`: the
// outputs a run wrote.
std::vector<std::string> outputs_in(const Scratch& dir, const std::vector<std::string>& files) {
  std::vector<std::string> outputs;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("All_") && std::find(files.begin(), files.end(), name) == files.end())
      outputs.push_back(name);
  }
  return outputs;
}

// The labels of a table's rows: each row's first cell.
std::vector<std::string> labels_of(const std::string& table) {
  std::vector<std::string> labels;
  for (std::size_t at = 0; at < table.size(); at = table.find('\n', at) + 1)
    labels.push_back(table.substr(at, table.find('\t', at) - at));
  return labels;
}

struct ListedCase {
  const char* name;
  std::vector<std::string> files;  // written in the scratch directory, one point each
  std::vector<std::string> args;
  bool as_nobody;
  int status;
  std::string err;
  std::string table;  // its name, or "" when none may be written
  std::vector<std::string> labels;
  std::string out_line;  // a line of standard output
};

TEST(ListedFiles, NamesOrderLabelsAndRefusals) {
  const std::string scan = "2026-12-10_sample-A_long-run_scan_";  // 34 characters
  const std::string label_of_scan = scan + "0001";
  const std::string wide(label_of_scan.size() - 10, ' ');
  const std::vector<std::string> summary = {"Average" + wide + "   ", "Std Dev" + wide + "   ",
                                            "CV %" + wide + "      "};
  const auto with_summary = [&](std::vector<std::string> rows) {
    rows.insert(rows.end(), summary.begin(), summary.end());
    return rows;
  };
  const ListedCase cases[] = {
      {"numbers of any width, in order, as text",
       {"1d-1.spe", "1d-2.spe", "1d-12.spe"},
       {"--format", "text", "--files", "1d-1.spe", "1d-2.spe", "1d-12.spe"},
       false,
       0,
       "",
       "All_1d.txt",
       {"X Values >", "1d-1      ", "1d-2      ", "1d-12     ", "Average   ", "Std Dev   ",
        "CV %      "},
       input_file_line(3, "1d-12.spe")},
      {"in the order a shell's * gives",
       {"Scan-1.csv", "Scan-10.csv", "Scan-2.csv"},
       {"--files", "Scan-1.csv", "Scan-10.csv", "Scan-2.csv"},
       false,
       0,
       "tovel: warning: Scan-10.csv comes before Scan-2.csv; files are collated in the order "
       "given (ls -v sorts them by number)\n",
       "All_Scan.txt",
       {"X Values >", "Scan-1    ", "Scan-10   ", "Scan-2    ", "Average   ", "Std Dev   ",
        "CV %      "},
       "The prefix is " + pad32("Scan") + "\n"},
      {"long names in a directory",
       {"data/" + scan + "0001.xy", "data/" + scan + "0002.xy"},
       {"--files", "data/" + scan + "0001.xy", "data/" + scan + "0002.xy"},
       false,
       0,
       "",
       "All_2026-12-10_sample-A_long-run_scan.txt",
       with_summary({"X Values >" + wide, label_of_scan, scan + "0002"}),
       input_file_line(2, "data/" + scan + "0002.xy")},
      {"-o names the outputs",
       {"a.txt", "b.txt"},
       {"-o", "run 7", "--files", "a.txt", "b.txt"},
       false,
       0,
       "",
       "All_run 7.txt",
       {"X Values >", "a         ", "b         ", "Average   ", "Std Dev   ", "CV %      "},
       "Output file is " + pad32("All_run 7.txt") + "\n"},
      {"a missing file",
       {"a.txt"},
       {"--files", "a.txt", "b.txt"},
       false,
       2,
       "tovel: b.txt: No such file or directory\n",
       "",
       {},
       ""},
      {"a directory",
       {"a.txt", "d/x"},
       {"--files", "a.txt", "d"},
       false,
       2,
       "tovel: d: Is a directory\n",
       "",
       {},
       ""},
      {"a file that cannot be read",
       {"a.txt", "b.txt"},
       {"--files", "a.txt", "b.txt"},
       true,
       2,
       "tovel: b.txt: Permission denied\n",
       "",
       {},
       ""},
      {"a file given twice",
       {"a.txt", "b.txt"},
       {"--files", "a.txt", "b.txt", "./a.txt"},
       false,
       2,
       "tovel: ./a.txt is given twice\n",
       "",
       {},
       ""},
      {"the run's own table",
       {"a.txt", "All_a.txt"},
       {"-o", "a", "--files", "a.txt", "All_a.txt"},
       false,
       2,
       "tovel: All_a.txt is the table this run writes\n",
       "",
       {},
       ""},
      {"one file",
       {"a.txt"},
       {"--files", "a.txt"},
       false,
       2,
       "tovel: --files takes 2 to 9999 data files\nTry 'tovel --help'.\n",
       "",
       {},
       ""},
      {"-o without --files",
       {"a.txt"},
       {"-o", "x", "a.txt", "2"},
       false,
       2,
       "tovel: --output names the outputs of --files\nTry 'tovel --help'.\n",
       "",
       {},
       ""},
  };
  for (const ListedCase& c : cases) {
    Scratch dir;
    ::mkdir(dir.at("data").c_str(), 0755);
    ::mkdir(dir.at("d").c_str(), 0755);
    for (const std::string& file : c.files)
      dir.write(file, "1 2\n", c.as_nobody && file == "b.txt" ? 0200 : 0644);
    std::vector<std::string> args = {"-n"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Invocation call{args, ""};
    call.as_nobody = c.as_nobody;
    const Outcome r = run_tovel(dir, call);
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    if (c.table.empty()) {
      EXPECT_EQ(r.out, "") << c.name;
      EXPECT_EQ(outputs_in(dir, c.files), std::vector<std::string>{}) << c.name;
      for (const std::string& file : c.files)
        EXPECT_TRUE(c.as_nobody || dir.read(file) == "1 2\n") << c.name << " " << file;
      continue;
    }
    EXPECT_NE(r.out.find(c.out_line), std::string::npos) << c.name << r.out;
    const std::string table = dir.read(c.table);
    EXPECT_EQ(labels_of(table), c.labels) << c.name;
    EXPECT_EQ(dir.read(c.table.substr(0, c.table.size() - 3) + "csv"), table) << c.name;
  }
}

}  // namespace
}  // namespace tovel::e2e
