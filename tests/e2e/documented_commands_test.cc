// The commands the README and the manual's EXAMPLES give, run as a user
// types them, in a directory that holds what each says it collates: each
// must end as it says and write the files it names. Every command of those
// pages must be in the table below, so a command added to them is run too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "instrument_images.h"

namespace tovel::e2e {
namespace {

std::string read_page(const std::string& name) {
  std::ifstream in(std::string(TOVEL_SOURCE_DIR) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The command lines of the README's shell blocks that run tovel, but for
// the build's own.
std::set<std::string> readme_commands() {
  std::set<std::string> commands;
  std::istringstream page(read_page("README.md"));
  bool in_block = false;
  for (std::string line; std::getline(page, line);) {
    if (line.starts_with("```")) {
      in_block = line == "```sh";
      continue;
    }
    if (in_block && line.find("tovel ") != std::string::npos && !line.starts_with("cmake")) {
      commands.insert(line);
    }
  }
  return commands;
}

// The command lines of the manual's EXAMPLES, as a user types them.
std::set<std::string> manual_commands() {
  std::set<std::string> commands;
  std::istringstream page(read_page("docs/tovel.1"));
  bool in_examples = false, in_block = false;
  for (std::string line; std::getline(page, line);) {
    if (line.starts_with(".SH")) in_examples = line == ".SH EXAMPLES";
    if (line == ".EX" || line == ".EE") {
      in_block = line == ".EX";
      continue;
    }
    if (in_examples && in_block) {
      for (std::size_t at; (at = line.find("\\-")) != std::string::npos;)
        line.erase(at, 1);
      commands.insert(line);
    }
  }
  return commands;
}

// Files of n points, x = 1..n, y varying with the file.
std::string points(int n, int file) {
  std::string text;
  for (int j = 1; j <= n; ++j)
    text += std::to_string(j) + " " + std::to_string((file * 37 + j * 11) % 1000) + ".5\n";
  return text;
}

void numbered(const Scratch& dir, const std::string& at, const std::string& prefix, int k,
              const std::string& header = "") {
  std::filesystem::create_directories(dir.at(at));
  for (int i = 1; i <= k; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", i);
    dir.write(at + "/" + prefix + number + ".DAT", header + points(5, i));
  }
}

// Bruker RAW files of 3901 points, more than a numbered series may hold.
void diffraction_patterns(const Scratch& dir) {
  for (int i = 1; i <= 3; ++i) {
    std::vector<float> counts(3901);
    for (std::size_t j = 0; j < counts.size(); ++j)
      counts[j] = static_cast<float>((j * 7 + static_cast<std::size_t>(i) * 13) % 500);
    dir.write("Cu3Au-" + std::to_string(i) + ".raw", bruker_raw_v3(20.0, 0.02, counts));
  }
}

// What a command collates, the files it says it writes, and what else it
// says, looked at in the directory and its outcome.
struct Documented {
  using Check = std::function<void(const Scratch&, const Outcome&)>;
  Documented(
      std::function<void(const Scratch&)> make_files, std::vector<std::string> files,
      Check look = [](const Scratch&, const Outcome&) {})
      : make(std::move(make_files)), written(std::move(files)), check(std::move(look)) {}
  std::function<void(const Scratch&)> make;
  std::vector<std::string> written;
  Check check;
};

// Files an instrument numbered without leading zeros, which ls -v sorts.
void scans(const Scratch& dir) {
  for (int i = 1; i <= 10; ++i)
    dir.write("Scan-" + std::to_string(i) + ".csv", points(4, i));
}
void scans_in_order(const Scratch& dir, const Outcome& r) {
  const std::string table = dir.read("All_Scan.txt");
  EXPECT_LT(table.find("\nScan-2 "), table.find("\nScan-10 "));
  EXPECT_EQ(r.err, "");
}

const std::map<std::string, Documented>& documented() {
  static const std::map<std::string, Documented> commands = {
      {"tovel -n Sample 12 < /dev/null",
       {[](const Scratch& d) { numbered(d, ".", "Sample", 12); },
        {"All_Sample.txt", "All_Sample.csv"}}},
      {"tovel -n Sample 12",
       {[](const Scratch& d) { numbered(d, ".", "Sample", 12); },
        {"All_Sample.txt", "All_Sample.csv"}}},
      {"printf '0\\n' | tovel Sample 12",
       {[](const Scratch& d) { numbered(d, ".", "Sample", 12); },
        {"All_Sample.txt", "All_Sample.csv"}}},
      {"tovel -n --skip 1 -C data/run3 Sample 12",
       {[](const Scratch& d) {
          numbered(d, "data/run3", "Sample", 12, "Wavelength (nm),Absorbance\n");
        },
        {"data/run3/All_Sample.txt", "data/run3/All_Sample.csv"}}},
      {"{ tovel S 2; tovel T 2; } < answers   # answers holds 0, then 0, a line each",
       {[](const Scratch& d) {
          numbered(d, ".", "S", 2);
          numbered(d, ".", "T", 2);
          d.write("answers", "0\n0\n");
        },
        {"All_S.txt", "All_T.txt"}}},
      {"tovel -n --files data/sample_*.txt          # All_sample.txt",
       {[](const Scratch& d) {
          std::filesystem::create_directories(d.at("data"));
          for (int i = 1; i <= 3; ++i)
            d.write("data/sample_00" + std::to_string(i) + ".txt", points(4, i));
        },
        {"All_sample.txt", "All_sample.csv"}}},
      {"tovel -n --files $(ls -v Scan-*.csv)        # Scan-2.csv before Scan-10.csv",
       {scans, {"All_Scan.txt", "All_Scan.csv"}, scans_in_order}},
      {"tovel -n --files $(ls -v Scan-*.csv)",
       {scans, {"All_Scan.txt", "All_Scan.csv"}, scans_in_order}},
      {"tovel -n -o run7 --files a.xy b.xy c.xy     # All_run7.txt",
       {[](const Scratch& d) {
          for (const char* name : {"a.xy", "b.xy", "c.xy"})
            d.write(name, points(4, name[0]));
        },
        {"All_run7.txt", "All_run7.csv"}}},
      {"tovel -n --plot --files $(ls -v Cu3Au-*.raw)     # All_Cu3Au.txt and .svg",
       {diffraction_patterns, {"All_Cu3Au.txt", "All_Cu3Au.csv", "All_Cu3Au.svg"}}},
      {"tovel -n --plot --files $(ls -v Cu3Au-*.raw)",
       {diffraction_patterns, {"All_Cu3Au.txt", "All_Cu3Au.csv", "All_Cu3Au.svg"}}},
      {"tovel -n --format xrdml --files scan_1.txt scan_2.txt",
       {[](const Scratch& d) {
          for (int i = 1; i <= 2; ++i)
            d.write("scan_" + std::to_string(i) + ".txt",
                    xrdml(10.0, 12.0, {100.0f * static_cast<float>(i), 250, 400, 120, 80}));
        },
        {"All_scan.txt", "All_scan.csv"}}},
      {"tovel -n --csv Sample 12             # All_Sample.csv, comma-separated",
       {[](const Scratch& d) { numbered(d, ".", "Sample", 12); },
        {"All_Sample.txt", "All_Sample.csv"},
        [](const Scratch& d, const Outcome&) {
          EXPECT_TRUE(d.read("All_Sample.csv").starts_with("file,1,2,3,4,5,Xmax,Ymax\r\n"));
        }}},
      {"tovel -n --csv --transpose Sample 12",
       {[](const Scratch& d) { numbered(d, ".", "Sample", 12); },
        {"All_Sample.txt", "All_Sample.csv"}}},
      {"tovel -n --csv --transpose Sample 12 # x down the first column, a column a file",
       {[](const Scratch& d) { numbered(d, ".", "Sample", 12); },
        {"All_Sample.txt", "All_Sample.csv"},
        [](const Scratch& d, const Outcome&) {
          EXPECT_TRUE(d.read("All_Sample.csv").starts_with("x,Sample0001,Sample0002,"));
        }}},
  };
  return commands;
}

TEST(DocumentedCommands, EveryOneIsRunHere) {
  std::set<std::string> pages = readme_commands();
  pages.merge(manual_commands());
  for (const std::string& command : pages)
    EXPECT_TRUE(documented().contains(command)) << "not run by this test: " << command;
  for (const auto& [command, expected] : documented())
    EXPECT_TRUE(pages.contains(command)) << "in neither page: " << command;
}

TEST(DocumentedCommands, EachEndsAsItSays) {
  for (const auto& [command, expected] : documented()) {
    Scratch dir;
    expected.make(dir);
    Invocation invocation;
    invocation.shell_command = command;
    invocation.fake_commands = false;  // the real ls sorts the names
    const Outcome r = run_tovel(dir, invocation);
    EXPECT_EQ(r.status, 0) << command << "\n" << r.err;
    for (const std::string& file : expected.written)
      EXPECT_TRUE(dir.exists(file)) << command << ": no " << file;
    expected.check(dir, r);
  }
}

}  // namespace
}  // namespace tovel::e2e
