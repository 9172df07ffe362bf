#include "output/table_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace tovel {
namespace {

// A table file in memory, regular or not, whose cut may fail.
class MemoryTable : public TableFile {
 public:
  MemoryTable(std::string older, bool regular, bool cut_fails)
      : bytes(std::move(older)), regular_(regular), cut_fails_(cut_fails) {}
  long write(const char* data, std::size_t size) override {
    bytes.replace(offset_, size, data, size);
    offset_ += size;
    return static_cast<long>(size);
  }
  bool cut(long long length) override {
    ++cuts;
    if (cut_fails_) {
      errno = EIO;
      return false;
    }
    bytes.resize(static_cast<std::size_t>(length));
    return true;
  }
  bool regular() const override { return regular_; }

  std::string bytes;
  int cuts = 0;

 private:
  std::size_t offset_ = 0;
  bool regular_;
  bool cut_fails_;
};

struct CutCase {
  const char* name;
  bool regular;
  bool cut_fails;
  bool closes;
  std::string bytes;  // the file afterwards
  int cuts;
};

// A regular file, and only a regular file, is cut before this run's first
// bytes go in; a failing cut is reported and leaves the older table whole,
// and writing out again, as the report does, never writes a byte twice.
TEST(TableWriter, CutsARegularFileOnceAndWritesEachByteOnce) {
  const CutCase cases[] = {
      {"regular file", true, false, true, "X Values >\t", 1},
      {"regular file whose cut fails", true, true, false, "an older table\n", 2},
      {"not a regular file", false, false, true, "X Values >\tble\n", 0},
  };
  for (const CutCase& c : cases) {
    char buffer[64];
    TableWriter table(buffer);
    MemoryTable file("an older table\n", c.regular, c.cut_fails);
    table.attach(file, "All_S.txt");
    ASSERT_TRUE(table.write("X Values >\t")) << c.name;
    EXPECT_EQ(!table.close().has_value(), c.closes) << c.name;
    if (!c.closes) {
      EXPECT_EQ(table.failure().message, "Input/output error") << c.name;
      table.write_out();
    }
    EXPECT_EQ(file.bytes, c.bytes) << c.name;
    EXPECT_EQ(file.cuts, c.cuts) << c.name;
  }
}

}  // namespace
}  // namespace tovel
