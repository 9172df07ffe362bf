// End-to-end tests of the commands that hand the finished table to the shell:
// the copy, the listing and the editor, as the system runs them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "harness.h"

namespace tovel::e2e {
namespace {

void write_series(const Scratch& dir, const std::string& prefix) {
  dir.write(prefix + "0001.DAT", "1 10\n2 20\n");
  dir.write(prefix + "0002.DAT", "1 12\n2 18\n");
}

// Names that hold blanks, quotes and shell syntax reach the commands as one
// word each and are never run as commands themselves.
TEST(Finishing, NamesAreQuotedForTheShell) {
  const std::string prefixes[] = {"my data's ", "a;touch pwned;", "$(touch pwned)", "`touch pwned`",
                                  "x\"y"};
  for (const auto& prefix : prefixes) {
    Scratch dir;
    write_series(dir, prefix);
    const Outcome r = run_tovel(dir, {{prefix + "0001.DAT", "2"}, "1\n"});
    const std::string table = "All_" + prefix + ".txt";
    const std::string copy = "All_" + prefix + ".csv";
    EXPECT_EQ(r.status, 0) << prefix << r.err;
    EXPECT_NE(dir.read(table), "<missing>") << prefix;
    EXPECT_EQ(dir.read(copy), dir.read(table)) << prefix;
    EXPECT_EQ(dir.read("bbedit.log"), "[" + table + "]\n") << prefix;
    EXPECT_FALSE(dir.exists("pwned")) << prefix;
  }
}

// A long prefix still gets its copy under the full .csv name.
TEST(Finishing, LongPrefixCopiesUnderTheFullName) {
  for (const std::string prefix :
       {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRSTU", "ABCDEFGHIJKLMNOPQRSTUVWX"}) {
    Scratch dir;
    write_series(dir, prefix);
    const Outcome r = run_tovel(dir, {{prefix, "2"}, "0\n"});
    EXPECT_EQ(r.status, 0) << prefix;
    EXPECT_EQ(dir.read("All_" + prefix + ".csv"), dir.read("All_" + prefix + ".txt")) << prefix;
    EXPECT_NE(r.out.find("ls -l All_" + prefix + ".csv All_" + prefix + ".txt\n"),
              std::string::npos)
        << prefix;
  }
}

struct CopyCase {
  const char* name;
  std::string prefix;
  int (*prepare)(const Scratch& dir, const std::string& copy);  // 0 on success
  bool as_nobody;
};

// A copy that fails ends the run with the report; the table is complete.
TEST(Finishing, FailedCopyIsAFailure) {
  const CopyCase cases[] = {
      {"read-only copy", "S",
       [](const Scratch& dir, const std::string& copy) {
         dir.write(copy, "older\n", 0444);
         return 0;
       },
       true},
      {"full device", "S",
       [](const Scratch& dir, const std::string& copy) {
         return ::symlink("/dev/full", dir.at(copy).c_str());
       },
       false},
      {"cp killed by a signal", "S",
       [](const Scratch& dir, const std::string&) {
         dir.fake_bin();
         dir.write(".fakebin/cp", "#!/bin/sh\nkill -INT $$\n", 0755);
         return 0;
       },
       false},
      // The table's name and the copy's, cut at 32 characters, are the same.
      {"copy onto the table itself", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01",
       [](const Scratch&, const std::string&) { return 0; }, false},
  };
  for (const CopyCase& c : cases) {
    Scratch dir;
    const std::string data = c.prefix + (c.prefix.size() > 24 ? "" : ".DAT");
    dir.write(data.substr(0, c.prefix.size()) + "0001" + data.substr(c.prefix.size()), "1 10\n");
    dir.write(data.substr(0, c.prefix.size()) + "0002" + data.substr(c.prefix.size()), "1 12\n");
    const std::string table = ("All_" + c.prefix + ".txt").substr(0, 32);
    const std::string copy = ("All_" + c.prefix + ".csv").substr(0, 32);
    ASSERT_EQ(c.prepare(dir, copy), 0) << c.name;
    Invocation call{{c.prefix, "2"}, "0\n"};
    call.as_nobody = c.as_nobody;
    const Outcome r = run_tovel(dir, call);
    EXPECT_EQ(r.status, 2) << c.name;
    const std::string message =
        "Run-time error: Cannot copy file '" + table + "' to '" + copy + "'\n";
    EXPECT_NE(r.err.find("tovel: " + copy + ": cp "), std::string::npos) << c.name << r.err;
    EXPECT_TRUE(r.err.ends_with(message)) << c.name << ": " << r.err;
    EXPECT_TRUE(dir.read(table).ends_with("\t\n")) << c.name;
  }
}

// With --csv, a csv file whose name, cut at 32 characters, is the table's
// is refused before anything is written, and an older table stays whole.
TEST(Finishing, CsvNeverOverTheTable) {
  for (const char* form : {"--csv", "--transpose"}) {
    Scratch dir;
    const std::string prefix = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";
    dir.write(prefix + "0001", "1 10\n");
    dir.write(prefix + "0002", "1 12\n");
    const std::string table = ("All_" + prefix + ".txt").substr(0, 32);
    dir.write(table, "older\n");
    const Outcome r = run_tovel(dir, {{"-n", "--csv", form, prefix, "2"}});
    EXPECT_EQ(r.status, 2) << form;
    EXPECT_TRUE(
        r.err.ends_with("Run-time error: Cannot write file '" + table + "' over the table\n"))
        << form << r.err;
    EXPECT_EQ(dir.read(table), "older\n") << form;
  }
}

// With the system's own ls, the listing shows the copy beside the table and
// the tables of earlier series.
TEST(Finishing, RealListingShowsAllTables) {
  Scratch dir;
  write_series(dir, "Sample");
  dir.write("All_Older.txt", "x\n");
  Invocation call{{"Sample", "2"}, "0\n"};
  call.fake_commands = false;
  const Outcome r = run_tovel(dir, call);
  EXPECT_EQ(r.status, 0);
  for (const char* name : {" All_Older.txt\n", " All_Sample.csv\n", " All_Sample.txt\n"}) {
    EXPECT_NE(r.out.find(name), std::string::npos) << name << r.out;
  }
}

}  // namespace
}  // namespace tovel::e2e
