#include "datafile/data_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "datafile/read_data_line.h"

namespace tovel {
namespace {

// A scratch file holding `bytes`, removed at the end of the test.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& bytes) {
    char path[] = "/tmp/tovel_data_file_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    path_ = path;
  }
  ~ScratchFile() { unlink(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Lines "i.5 -i.25 i" for i = 1..count, with LF, CR LF and CR endings in turn.
std::string numbered_lines(int count) {
  static const char* const kEnds[] = {"\n", "\r\n", "\r"};
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += std::to_string(i) + ".5 -" + std::to_string(i) + ".25 " + std::to_string(i);
    text += kEnds[i % 3];
  }
  return text;
}

struct Point {
  float x, y, z;
};

// Reads lines of `file` into `points` up to its end or a failure, which it
// returns.
ReadOutcome read_points(DataFile& file, std::vector<Point>& points) {
  for (;;) {
    DataLine line;
    const ReadOutcome outcome = read_data_line(line, file);
    if (outcome.status != ReadStatus::line) return outcome;
    points.push_back({line.x.value(), line.y, line.z.value()});
  }
}

struct Case {
  std::size_t room;  // bytes one read can bring into the buffer
  int lines;
};

// Every line is read, once and in order, however the file's size falls
// against the buffer: lines straddle refills, a line end can be split across
// two reads, and a file can fill the buffer exactly.
TEST(DataFile, ReadsEveryLineWhateverTheBufferSize) {
  const Case cases[] = {{8, 1},   {8, 30},   {9, 30},      {15, 30},
                        {32, 57}, {68, 300}, {4096, 1000}, {65408, 5000}};
  for (const Case& c : cases) {
    const std::string text = numbered_lines(c.lines);
    for (const std::size_t trim :
         {std::size_t{0}, std::size_t{1}}) {  // with and without the last line end
      const ScratchFile file(text.substr(0, text.size() - trim));
      std::vector<char> buffer(InputStream::kReadPadding + c.room);
      DataFile data(buffer);
      ASSERT_EQ(data.open(file.path()), std::nullopt);
      std::vector<Point> points;
      EXPECT_EQ(read_points(data, points).status, ReadStatus::end);
      ASSERT_EQ(points.size(), static_cast<std::size_t>(c.lines))
          << "room " << c.room << ", " << text.size() - trim << " bytes";
      for (int i = 1; i <= c.lines; ++i) {
        const Point& p = points[static_cast<std::size_t>(i - 1)];
        const auto f = static_cast<float>(i);
        ASSERT_TRUE(p.x == f + 0.5f && p.y == -(f + 0.25f) && p.z == f)
            << "room " << c.room << " line " << i;
      }
    }
  }
}

// A file exactly as large as what one read can hold, and one byte larger.
TEST(DataFile, FileFillingTheBufferExactly) {
  const std::size_t room = 32;
  for (const std::size_t size : {room - 1, room, room + 1}) {
    std::string text;
    while (text.size() + 4 <= size)
      text += "1 2\n";
    text += std::string(size - text.size(), ' ');
    const ScratchFile file(text);
    std::vector<char> buffer(InputStream::kReadPadding + room);
    DataFile data(buffer);
    ASSERT_EQ(data.open(file.path()), std::nullopt);
    std::vector<Point> points;
    EXPECT_EQ(read_points(data, points).status, ReadStatus::end);
    // The blanks at the end make one more line, of zeros, when there are any.
    EXPECT_EQ(points.size(), text.size() / 4 + (text.size() % 4 != 0 ? 1 : 0)) << size;
  }
}

struct RulesCase {
  const char* name;
  LineRules rules;
  std::string text;
  std::vector<Point> points;  // read before the end or the refusal
  long missing;               // the values of x and y that the lines lack
  ReadStatus ends;            // end, or the refusal
  std::string refused;        // with a refusal: the token
};

// Lines of every form read by the usual rules, by the direct reader or the
// general one; and by other rules: x and y from the columns asked for, the
// other values passed over unread, and commas as decimal marks.
TEST(DataFile, LinesByEachRules) {
  const std::string to_80(76, ' ');
  const LineRules third_first{.x_column = 3, .y_column = 1};
  const LineRules past_index{.x_column = 2, .y_column = 3};
  const LineRules numbered{.x_column = 0, .y_column = 1};
  const LineRules commas{.decimal_comma = true};
  const RulesCase cases[] = {
      {"the usual rules, each form of line",
       {},
       "1 2 3\n1.5,2.5\n  7   8   9   10\n\t1\t2\n,,1,,2,,3\n1, ,2\n1\t2\t\n1,\n\n  \t, \n"
       "12345678901234567890 2\n4 -0.000012345678\r\n5 6",
       {{1, 2, 3},
        {1.5f, 2.5f, 0},
        {7, 8, 9},
        {1, 2, 0},
        {1, 2, 3},
        {1, 2, 0},
        {1, 2, 0},
        {1, 0, 0},
        {0, 0, 0},
        {0, 0, 0},
        {12345678901234567890.0f, 2, 0},
        {4, -0.000012345678f, 0},
        {5, 6, 0}},
       1,
       ReadStatus::end,
       ""},
      {"columns in any order",
       third_first,
       "1 2 3\n4 5\n",
       {{3, 1, 0}, {0, 4, 0}},
       1,
       ReadStatus::end,
       ""},
      {"names and indexes passed over",
       past_index,
       "\"a\",1,2,x\nb\n",
       {{1, 2, 0}, {0, 0, 0}},
       2,
       ReadStatus::end,
       ""},
      {"a value not read may run past column 80",
       past_index,
       "1 2 3" + to_80.substr(2) + "44\n",
       {{2, 3, 0}},
       0,
       ReadStatus::end,
       ""},
      {"one read may not", past_index, "1 2" + to_80 + "344\n", {}, 0, ReadStatus::value_cut, "3"},
      {"x as the point's number",
       numbered,
       "5\n\n7 8\n",
       {{1, 5, 0}, {0, 0, 0}, {3, 7, 0}},
       0,
       ReadStatus::end,
       ""},
      {"decimal commas",
       commas,
       "1,5;-2,5e1;3,5\n1,5\t2 ; 3\n",
       {{1.5f, -25, 3.5f}, {1.5f, 2, 3}},
       0,
       ReadStatus::end,
       ""},
      {"a decimal point is refused", commas, "1,5 2.5\n", {}, 0, ReadStatus::bad_value, "2.5"},
      {"two commas are refused", commas, "1,2,3;4\n", {}, 0, ReadStatus::bad_value, "1,2,3"},
  };
  for (const RulesCase& c : cases) {
    const ScratchFile file(c.text);
    std::vector<char> buffer(InputStream::kReadPadding + 4096);
    DataFile data(buffer);
    ASSERT_EQ(data.open(file.path()), std::nullopt);
    data.set_line_rules(c.rules);
    std::vector<Point> points;
    long missing = 0;
    ReadOutcome outcome{ReadStatus::line};
    for (DataLine line; (outcome = read_data_line(line, data)).status == ReadStatus::line;) {
      points.push_back({line.x.value(), line.y, line.z.value()});
      missing += line.missing;
    }
    ASSERT_EQ(points.size(), c.points.size()) << c.name;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Point &got = points[i], &want = c.points[i];
      EXPECT_TRUE(got.x == want.x && got.y == want.y && got.z == want.z) << c.name << " " << i;
    }
    EXPECT_EQ(missing, c.missing) << c.name;
    EXPECT_EQ(outcome.status, c.ends) << c.name;
    EXPECT_EQ(outcome.bad_field(), c.refused) << c.name;
  }
}

// Only a regular file is opened by open_if_regular, as its descriptor shows;
// a FIFO is judged without waiting for a writer, and one is held open here
// so that a blocking open would not wait either.
TEST(DataFile, OpensOnlyARegularFile) {
  const ScratchFile regular("1 2\n");
  char fifo_path[] = "/tmp/tovel_fifo_XXXXXX";
  ASSERT_NE(mkdtemp(fifo_path), nullptr);
  const std::string directory = fifo_path, fifo = directory + "/F0001.DAT";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int writer = ::open(fifo.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  const struct {
    std::string name;
    bool opened;
  } cases[] = {{regular.path(), true},
               {fifo, false},
               {directory, false},
               {directory + "/missing", false},
               {regular.path() + std::string(1, '\0'), false}};
  std::vector<char> buffer(InputStream::kReadPadding + 4096);
  DataFile data(buffer);
  for (const auto& c : cases) {
    EXPECT_EQ(data.open_if_regular(c.name), c.opened) << c.name;
  }
  ASSERT_TRUE(data.open_if_regular(regular.path()));
  std::vector<Point> points;
  EXPECT_EQ(read_points(data, points).status, ReadStatus::end);
  EXPECT_EQ(points.size(), 1u);
  ::close(writer);
  unlink(fifo.c_str());
  rmdir(directory.c_str());
}

// A disk or network file system that fails part-way: the bytes of a file in
// reads of `chunk` bytes, and EIO at read number `failing_read` (from 1).
class FailingSource : public ByteSource {
 public:
  FailingSource(std::string bytes, std::size_t chunk, int failing_read)
      : bytes_(std::move(bytes)), chunk_(chunk), failing_read_(failing_read) {}
  long read(char* buffer, std::size_t size) override {
    if (++reads_ == failing_read_) {
      errno = EIO;
      return -1;
    }
    const std::size_t n = std::min({size, chunk_, bytes_.size() - offset_});
    bytes_.copy(buffer, n, offset_);
    offset_ += n;
    return static_cast<long>(n);
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
  int failing_read_;
  int reads_ = 0;
  std::size_t offset_ = 0;
};

struct FailureCase {
  const char* name;
  std::string bytes;
  std::size_t chunk;
  int failing_read;
  std::size_t lines_read;  // before the failure
  long failing_line;
};

// A read error wherever it comes is a failure of the line being read: no
// line is taken as ended early, no value cut, and the file never ends
// quietly.
TEST(DataFile, ReadErrorIsAFailureOfTheLineBeingRead) {
  const std::string long_line = "3 4" + std::string(120, ' ') + "\n";
  const FailureCase cases[] = {
      {"first read", "1 2\n", 64, 1, 0, 1},
      {"inside a value", "1 2\n3 4\n5 7654321\n", 12, 2, 2, 3},
      {"at a line's start", "1 2\n3 4\n", 4, 2, 1, 2},
      {"after a CR at the end of a read", "1 2\r3 4\r", 4, 2, 0, 1},
      {"while a long line is skipped", "1 2\n" + long_line + "5 6\n", 90, 2, 1, 2},
  };
  for (const FailureCase& c : cases) {
    const ScratchFile file(c.bytes);
    std::vector<char> buffer(InputStream::kReadPadding + 4096);
    DataFile data(buffer);
    ASSERT_EQ(data.open(file.path()), std::nullopt);
    FailingSource source(c.bytes, c.chunk, c.failing_read);
    data.stream().attach(source);
    std::vector<Point> points;
    const ReadOutcome outcome = read_points(data, points);
    EXPECT_EQ(outcome.status, ReadStatus::read_failed) << c.name;
    EXPECT_EQ(outcome.failure_text, "Input/output error") << c.name;
    EXPECT_EQ(outcome.line_number, c.failing_line) << c.name;
    EXPECT_EQ(points.size(), c.lines_read) << c.name;
  }
}

}  // namespace
}  // namespace tovel
