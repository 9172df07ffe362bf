// Series saved by the programs scientists use, each beside the table an
// exact computation gives for it (tests/e2e/writers/README.md).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "harness.h"

namespace tovel::e2e {
namespace {

TEST(Writers, EverySeriesGivesItsTable) {
  const std::filesystem::path writers = TOVEL_WRITERS_DIR;
  for (const char* writer :
       {"numpy_savetxt", "repr_17g", "r_write_table", "spreadsheet_csv", "instrument_6f"}) {
    Scratch dir;
    for (const auto& entry : std::filesystem::directory_iterator(writers / writer)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".DAT")) std::filesystem::copy_file(entry.path(), dir.at(name));
    }
    const Outcome r = run_tovel(dir, {{"Run", "3"}, "0\n"});
    EXPECT_EQ(r.status, 0) << writer << ": " << r.err;
    std::filesystem::copy_file(writers / writer / "All_Run.txt", dir.at("expected.txt"));
    EXPECT_EQ(dir.read("All_Run.txt"), dir.read("expected.txt")) << writer;
  }
}

}  // namespace
}  // namespace tovel::e2e
