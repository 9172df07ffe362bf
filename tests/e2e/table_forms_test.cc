// End-to-end tests of the table's other forms: --csv, which writes
// All_PREFIX.csv as comma-separated values, and --transpose, which turns
// the table and the csv by a quarter. Outputs are compared whole.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "harness.h"

namespace tovel::e2e {
namespace {

struct DataFile {
  std::string name;
  std::string text;
};

// A row of cells joined by `separator`, ended by `end`.
std::string row(std::initializer_list<std::string> cells, const std::string& end,
                const std::string& separator) {
  std::string text;
  for (const std::string& cell : cells)
    text += (text.empty() ? "" : separator) + cell;
  return text + end;
}
std::string tsv(std::initializer_list<std::string> cells) {
  return row(cells, "\n", "\t");
}
std::string csv(std::initializer_list<std::string> cells) {
  return row(cells, "\r\n", ",");
}
std::string ssv(std::initializer_list<std::string> cells) {
  return row(cells, "\r\n", ";");
}

const std::string kBlank(14, ' ');
const std::vector<DataFile> kExample = {{"Sample0001.DAT", "1 10\n2 20\n3 15\n"},
                                        {"Sample0002.DAT", "1 12\n2 18\n3 16.5\n"},
                                        {"Sample0003.DAT", "1 11\n2 22\n3 14\n"}};
// Files of 3, 2 and 4 points: the summary rows cover the last one's.
const std::vector<DataFile> kRagged = {{"R0001.DAT", "1 10\n2 20\n3 15\n"},
                                       {"R0002.DAT", "1 12\n2 18\n"},
                                       {"R0003.DAT", "1 11\n2 22\n3 14\n4 5\n"}};

// Files whose names need quotes in a csv file, of the points (1, 10), (2, 20).
const std::vector<DataFile> kQuotedNames = {
    {"a,b.txt", "1 10\n2 20\n"}, {"say \"hi\".txt", "1 10\n2 20\n"}, {"c;d.txt", "1 10\n2 20\n"}};
// The same, the last of them longer: the rows before it are padded.
const std::vector<DataFile> kQuotedNamesRagged = {{"a,b.txt", "1 10\n2 20\n"},
                                                  {"say \"hi\".txt", "1 10\n2 20\n"},
                                                  {"c;d.txt", "1 10\n2 20\n3 30\n"}};
const std::vector<DataFile> kDecimalCommas = {{"D0001.DAT", "1;10,5\n2;20,25\n"},
                                              {"D0002.DAT", "1;12\n2;18,75\n"}};

struct FormCase {
  const char* name;
  const std::vector<DataFile>* files;
  std::vector<std::string> options;  // the forms asked for
  std::vector<std::string> base;     // the rest of the command line, after -n
  std::string prefix;
  std::string table;  // All_PREFIX.txt; empty: the table of the run without `options`
  std::string csv;    // All_PREFIX.csv; empty: the table's copy
};

const FormCase kCases[] = {
    {"csv of the example",
     &kExample,
     {"--csv"},
     {"Sample", "3"},
     "Sample",
     "",
     csv({"file", "1", "2", "3", "Xmax", "Ymax"}) +
         csv({"Sample0001", "10", "20", "15", "2", "20"}) +
         csv({"Sample0002", "12", "18", "16.5", "2", "18"}) +
         csv({"Sample0003", "11", "22", "14", "2", "22"}) +
         csv({"Average", "11", "20", "15.17", "2", "20"}) +
         csv({"Std Dev", "1", "2", "1.258", "0", "2"}) +
         csv({"CV %", "9.091", "10", "8.297", "0", "10"})},
    {"the example turned",
     &kExample,
     {"--transpose"},
     {"Sample", "3"},
     "Sample",
     tsv({"  X Values", "Sample0001", "Sample0002", "Sample0003", "   Average", "   Std Dev",
          "      CV %"}) +
         tsv({"     1.000    ", "     10.00    ", "     12.00    ", "     11.00    ",
              "     11.00    ", "     1.000    ", "     9.091    "}) +
         tsv({"     2.000    ", "     20.00    ", "     18.00    ", "     22.00    ",
              "     20.00    ", "     2.000    ", "     10.00    "}) +
         tsv({"     3.000    ", "     15.00    ", "     16.50    ", "     14.00    ",
              "     15.17    ", "     1.258    ", "     8.297    "}) +
         tsv({"      Xmax", "     2.000    ", "     2.000    ", "     2.000    ", "     2.000    ",
              "     0.000    ", "     0.000    "}) +
         tsv({"      Ymax", "     20.00    ", "     18.00    ", "     22.00    ", "     20.00    ",
              "     2.000    ", "     10.00    "}),
     ""},
    {"csv of the example turned",
     &kExample,
     {"--transpose", "--csv"},
     {"Sample", "3"},
     "Sample",
     "turned",
     csv({"x", "Sample0001", "Sample0002", "Sample0003", "Average", "Std Dev", "CV %"}) +
         csv({"1", "10", "12", "11", "11", "1", "9.091"}) +
         csv({"2", "20", "18", "22", "20", "2", "10"}) +
         csv({"3", "15", "16.5", "14", "15.17", "1.258", "8.297"}) +
         csv({"Xmax", "2", "2", "2", "2", "0", "0"}) +
         csv({"Ymax", "20", "18", "22", "20", "2", "10"})},
    {"csv of files of different lengths",
     &kRagged,
     {"--csv"},
     {"R", "3"},
     "R",
     "",
     csv({"file", "1", "2", "3", "", "Xmax", "Ymax"}) +
         csv({"R0001", "10", "20", "15", "", "2", "20"}) +
         csv({"R0002", "12", "18", "", "", "2", "18"}) +
         csv({"R0003", "11", "22", "14", "5", "2", "22"}) +
         csv({"Average", "11", "20", "10.33", "8.333", "7.333", "7.333"}) +
         csv({"Std Dev", "1", "2", "7.234", "8.505", "11.02", "12.7"}) +
         csv({"CV %", "9.091", "10", "70.01", "102.1", "150.2", "173.2"})},
    {"files of different lengths turned",
     &kRagged,
     {"--transpose"},
     {"R", "3"},
     "R",
     tsv({"  X Values", "     R0001", "     R0002", "     R0003", "   Average", "   Std Dev",
          "      CV %"}) +
         tsv({"     1.000    ", "     10.00    ", "     12.00    ", "     11.00    ",
              "     11.00    ", "     1.000    ", "     9.091    "}) +
         tsv({"     2.000    ", "     20.00    ", "     18.00    ", "     22.00    ",
              "     20.00    ", "     2.000    ", "     10.00    "}) +
         tsv({"     3.000    ", "     15.00    ", kBlank, "     14.00    ", "     10.33    ",
              "     7.234    ", "     70.01    "}) +
         tsv({kBlank, kBlank, kBlank, "     5.000    ", "     8.333    ", "     8.505    ",
              "     102.1    "}) +
         tsv({"      Xmax", "     2.000    ", "     2.000    ", "     2.000    ", "     7.333    ",
              "     11.02    ", "     150.2    "}) +
         tsv({"      Ymax", "     20.00    ", "     18.00    ", "     22.00    ", "     7.333    ",
              "     12.70    ", "     173.2    "}),
     ""},
    {"csv with decimal commas",
     &kDecimalCommas,
     {"--csv"},
     {"--decimal-comma", "D", "2"},
     "D",
     "",
     ssv({"file", "1", "2", "Xmax", "Ymax"}) + ssv({"D0001", "10,5", "20,25", "2", "20,25"}) +
         ssv({"D0002", "12", "18,75", "2", "18,75"}) +
         ssv({"Average", "11,25", "19,5", "2", "19,5"}) +
         ssv({"Std Dev", "1,061", "1,061", "0", "1,061"}) +
         ssv({"CV %", "9,428", "5,439", "0", "5,439"})},
    {"labels quoted",
     &kQuotedNames,
     {"--csv"},
     {"-o", "Q", "--files", "a,b.txt", "say \"hi\".txt", "c;d.txt"},
     "Q",
     "",
     csv({"file", "1", "2", "Xmax", "Ymax"}) + csv({"\"a,b\"", "10", "20", "2", "20"}) +
         csv({"\"say \"\"hi\"\"\"", "10", "20", "2", "20"}) + csv({"c;d", "10", "20", "2", "20"}) +
         csv({"Average", "10", "20", "2", "20"}) + csv({"Std Dev", "0", "0", "0", "0"}) +
         csv({"CV %", "0", "0", "0", "0"})},
    {"labels quoted, in rows padded",
     &kQuotedNamesRagged,
     {"--csv"},
     {"-o", "Q", "--files", "a,b.txt", "say \"hi\".txt", "c;d.txt"},
     "Q",
     "",
     csv({"file", "1", "2", "", "Xmax", "Ymax"}) + csv({"\"a,b\"", "10", "20", "", "2", "20"}) +
         csv({"\"say \"\"hi\"\"\"", "10", "20", "", "2", "20"}) +
         csv({"c;d", "10", "20", "30", "3", "30"}) +
         csv({"Average", "10", "20", "11.33", "14.33", "10"}) +
         csv({"Std Dev", "0", "0", "16.17", "9.815", "17.32"}) +
         csv({"CV %", "0", "0", "142.6", "68.48", "173.2"})},
    {"labels quoted among semicolons",
     &kQuotedNames,
     {"--csv"},
     {"--decimal-comma", "-o", "Q", "--files", "a,b.txt", "say \"hi\".txt", "c;d.txt"},
     "Q",
     "",
     ssv({"file", "1", "2", "Xmax", "Ymax"}) + ssv({"a,b", "10", "20", "2", "20"}) +
         ssv({"\"say \"\"hi\"\"\"", "10", "20", "2", "20"}) +
         ssv({"\"c;d\"", "10", "20", "2", "20"}) + ssv({"Average", "10", "20", "2", "20"}) +
         ssv({"Std Dev", "0", "0", "0", "0"}) + ssv({"CV %", "0", "0", "0", "0"})},
};

// The tables and csv files of each form, whole; standard output and error
// as without the options.
TEST(TableForms, TablesAndCsvFilesWhole) {
  for (const FormCase& c : kCases) {
    Scratch plain, dir;
    for (const DataFile& file : *c.files) {
      plain.write(file.name, file.text);
      dir.write(file.name, file.text);
    }
    std::vector<std::string> args = {"-n"};
    args.insert(args.end(), c.base.begin(), c.base.end());
    const Outcome usual = run_tovel(plain, {args});
    args.insert(args.begin() + 1, c.options.begin(), c.options.end());
    const Outcome r = run_tovel(dir, {args});
    const std::string& prefix = c.prefix;
    const std::string table = dir.read("All_" + prefix + ".txt");
    EXPECT_EQ(r.status, 0) << c.name << r.err;
    EXPECT_EQ(r.out, usual.out) << c.name;
    EXPECT_EQ(r.err, usual.err) << c.name;
    if (c.table.empty()) {
      EXPECT_EQ(table, plain.read("All_" + prefix + ".txt")) << c.name;
    } else if (c.table != "turned") {
      EXPECT_EQ(table, c.table) << c.name;
    }
    EXPECT_EQ(dir.read("All_" + prefix + ".csv"), c.csv.empty() ? table : c.csv) << c.name;
  }
}

}  // namespace
}  // namespace tovel::e2e
