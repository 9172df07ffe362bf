#include "output/table_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

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
  long read_at(char* data, std::size_t size, long long offset) override {
    return static_cast<long>(bytes.copy(data, size, static_cast<std::size_t>(offset)));
  }
  bool rewind() override {
    offset_ = 0;
    return true;
  }

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

// A sink that keeps what it is given, and the size of each write.
class RecordingSink : public ByteSink {
 public:
  long write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    writes.push_back(size);
    return static_cast<long>(size);
  }
  std::string bytes;
  std::vector<std::size_t> writes;
};

struct BlockCase {
  const char* name;
  std::size_t block;
  std::vector<std::size_t> pieces;  // reserved and filled in turn, in a buffer of 16
  std::vector<std::size_t> writes;  // the sink's, the last one by write_out
};

// A buffer filled to all but one block goes out up to the last block's end
// of the whole output, the rest kept in order; all of it when that would
// leave too little room.
TEST(BufferedWriter, WritesWholeBlocksOfTheOutput) {
  const BlockCase cases[] = {
      {"no blocks", 1, {6, 6, 6}, {12, 6}},
      {"blocks of 5", 5, {6, 6, 6}, {10, 8}},
      {"blocks of 5, a later write at a block's end", 5, {7, 7, 7, 7}, {10, 10, 8}},
      {"a tail that leaves too little room", 8, {7, 7, 12}, {14, 12}},
      {"all but one block filled, with room left", 4, {7, 6, 1}, {12, 2}},
  };
  for (const BlockCase& c : cases) {
    char buffer[16];
    BufferedWriter writer(buffer, c.block);
    RecordingSink sink;
    writer.attach(sink);
    std::string expected;
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      char* room = writer.reserve(c.pieces[i]);
      ASSERT_NE(room, nullptr) << c.name;
      std::memset(room, 'a' + static_cast<int>(i), c.pieces[i]);
      writer.commit(c.pieces[i]);
      expected.append(c.pieces[i], static_cast<char>('a' + i));
    }
    EXPECT_EQ(writer.write_out(), 0) << c.name;
    EXPECT_EQ(sink.bytes, expected) << c.name;
    EXPECT_EQ(sink.writes, c.writes) << c.name;
  }
}

}  // namespace
}  // namespace tovel
