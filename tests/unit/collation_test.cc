#include "collate/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "points/header_grid.h"
#include "readahead/series_reader.h"

namespace tovel {
namespace {

// What the pass hands to the table, written down; it refuses every call
// after the first `accepted` ones.
class RecordedRows : public TableRows {
 public:
  explicit RecordedRows(int accepted) : accepted_(accepted) {}
  std::optional<Failure> begin_header() override { return record("header:"); }
  std::optional<Failure> header_cell(float x) override { return record(" " + number(x)); }
  std::optional<Failure> end_header() override { return record(";"); }
  std::optional<Failure> file_row(const FileRow& file) override {
    std::string row = std::string(file.label) + ":";
    for (const float v : file.y)
      row += " " + number(v);
    return record(row + " peak " + number(file.xmax) + " " + number(file.ymax) + ";");
  }
  std::optional<Failure> summary_rows(std::span<const ColumnStatistics>) override {
    return record("summary;");
  }
  std::string text;

 private:
  static std::string number(float v) { return std::to_string(static_cast<int>(v)); }
  std::optional<Failure> record(const std::string& s) {
    if (accepted_-- == 0) return Failure{.message = "refused"};
    text += s;
    return std::nullopt;
  }
  int accepted_;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  long read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size() - offset_);
    bytes_.copy(buffer, n, offset_);
    offset_ += n;
    return static_cast<long>(n);
  }

 private:
  std::string bytes_;
  std::size_t offset_ = 0;
};

// One file's pass as the series makes it: its points read, then handed to
// the table; the table's refusal, if any.
std::optional<Failure> collate_file(bool first_file, DataFile& file, TableRows& table,
                                    ColumnAccumulators& sums, FilePoints& points,
                                    const HeaderGrid* header = nullptr) {
  read_file_points(file, PointRules{.keep_x_values = first_file, .header = header}, points);
  return collate_points(points, first_file, "F", table, sums);
}

std::string points(int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i)
    lines += std::to_string(i) + " 1\n";
  return lines;
}

struct PassCase {
  const char* name;
  std::string data;
  bool first_file;
  int accepted;  // calls the table takes; -1: all
  FilePoints::End end;
  bool refused;  // the table refused a call
  std::string table;
  std::string header = "";  // a first file, whose x the data's are read on
};

TEST(CollateFile, WhatThePassHandsToTheTable) {
  const std::string grid = "1 0\n2 0\n3 0\n4 0\n5 0\n6 0\n7 0\n8 0\n";
  const PassCase cases[] = {
      {"first file", "1 5\n2 9\n3 9\n", true, -1, FilePoints::End::complete, false,
       "header: 1 2 3;F: 5 9 9 peak 2 9;"},
      {"later file, all negative", "1 -5\n2 -1\n", false, -1, FilePoints::End::complete, false,
       "F: -5 -1 peak 0 0;"},
      {"empty first file", "", true, -1, FilePoints::End::complete, false, "header:;F: peak 0 0;"},
      {"a value that is not a number", "1 5\n2 5mV\n", true, -1, FilePoints::End::failed, false,
       "header: 1"},
      {"later file on the grid, equal peaks: the first is the file's",
       "1 3\n2 1\n3 9\n4 8\n5 9\n6 2\n7 5\n8 4\n", false, -1, FilePoints::End::complete, false,
       "F: 3 1 9 8 9 2 5 4 peak 3 9;", grid},
      {"the table refuses a header cell", "1 5\n2 6\n", true, 2, FilePoints::End::complete, true,
       "header: 1"},
      {"the table refuses the row", "1 5\n", false, 0, FilePoints::End::complete, true, ""},
  };
  for (const PassCase& c : cases) {
    char buffer[InputStream::kReadPadding + 256];
    DataFile file(buffer);
    MemorySource source(c.data);
    file.stream().attach(source);
    RecordedRows table(c.accepted);
    ColumnAccumulators sums;
    sums.clear();
    FilePoints values;
    std::optional<HeaderGrid> header;
    if (!c.header.empty()) {
      char header_buffer[InputStream::kReadPadding + 256];
      DataFile header_file(header_buffer);
      MemorySource header_source(c.header);
      header_file.stream().attach(header_source);
      FilePoints first;
      read_file_points(header_file, PointRules{.keep_x_values = true}, first);
      header.emplace(first.x, static_cast<std::size_t>(first.count), first.empty_points);
    }
    const std::optional<Failure> refusal =
        collate_file(c.first_file, file, table, sums, values, header ? &*header : nullptr);
    EXPECT_EQ(values.end, c.end) << c.name;
    EXPECT_EQ(refusal.has_value(), c.refused) << c.name;
    EXPECT_EQ(table.text, c.table) << c.name;
  }
}

// A 251st point stops the pass before anything of it reaches the table or
// the sums: the header holds 250 cells.
TEST(CollateFile, TwoHundredFiftyFirstPointStopsThePass) {
  char buffer[InputStream::kReadPadding + 4096];
  DataFile file(buffer);
  MemorySource source(points(251));
  file.stream().attach(source);
  RecordedRows table(-1);
  ColumnAccumulators sums;
  sums.clear();
  FilePoints values;
  EXPECT_EQ(collate_file(true, file, table, sums, values), std::nullopt);
  EXPECT_EQ(values.end, FilePoints::End::too_many_points);
  EXPECT_TRUE(table.text.ends_with(" 249 250")) << table.text;
  EXPECT_EQ(sums.sum(250), 1.0);
}

struct ReadAheadCase {
  int files, jobs;
  std::size_t bytes_per_file;
  ReadAhead plan;
};

// The files read ahead never hold more than the budget, one slot aside;
// every worker has a slot to fill, and there are no more than the files.
TEST(SeriesReader, ReadAheadWithinTheBudget) {
  const std::size_t usual = 250 * 18, longest = 1000000 * 18;
  const ReadAheadCase cases[] = {
      {9999, 8, usual, {512, 7}}, {9999, 64, longest, {1, 0}}, {9999, 8, 100000 * 18, {2, 1}},
      {2, 8, usual, {2, 1}},      {9999, 1, usual, {1, 0}},    {9999, 64, kSlotBudget / 2, {2, 1}},
  };
  for (const ReadAheadCase& c : cases) {
    const ReadAhead plan = plan_read_ahead(c.files, c.jobs, c.bytes_per_file);
    EXPECT_EQ(plan.slots, c.plan.slots) << c.files << " " << c.jobs << " " << c.bytes_per_file;
    EXPECT_EQ(plan.workers, c.plan.workers) << c.files << " " << c.jobs << " " << c.bytes_per_file;
  }
}

}  // namespace
}  // namespace tovel
