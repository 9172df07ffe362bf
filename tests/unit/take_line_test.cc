#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/line_taker.h"

namespace tovel {
namespace {

// Reads every line of `bytes` (through a pipe) as fields of `width`, and
// lists the field texts, ending with "<end>" for end of input.
std::vector<std::string> take_all(const std::string& bytes, std::size_t width, bool numeric) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  EXPECT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fds[1]);
  char buffer[InputStream::kReadPadding + 7];  // 7 bytes a read: lines straddle refills
  InputStream in(buffer);
  in.attach(fds[0]);
  std::vector<std::string> fields;
  FieldText field;
  for (int guard = 0; guard < 100; ++guard) {
    const TakeStatus status = take_line(in, width, numeric, field);
    if (status != TakeStatus::line) {
      fields.push_back(status == TakeStatus::end_of_input ? "<end>" : "<failed>");
      break;
    }
    fields.emplace_back(field.view());
  }
  close(fds[0]);
  return fields;
}

struct Case {
  const char* name;
  std::string bytes;
  std::size_t width;
  bool numeric;
  std::vector<std::string> fields;
};

const Case kCases[] = {
    {"LF", "42\n", 5, true, {"42", "<end>"}},
    {"CR LF", "12\r\n7\n", 5, true, {"12", "7", "<end>"}},
    {"CR alone gives back what follows", "abc\rdef\n", 32, false, {"abc", "def", "<end>"}},
    {"CR as last byte", "abc\r", 32, false, {"abc", "<end>"}},
    {"CR CR", "a\r\rb", 32, false, {"a", "", "b", "<end>"}},
    {"last line without line end", "12\n34", 5, true, {"12", "34", "<end>"}},
    {"empty input", "", 5, true, {"<end>"}},
    {"empty line", "\n\n", 5, true, {"", "", "<end>"}},
    {"only columns 1 to 5", "   1234\n9\n", 5, true, {"   12", "9", "<end>"}},
    {"width reached, rest skipped", "123456\n7\n", 5, true, {"12345", "7", "<end>"}},
    {"comma ends a numeric field", "12,34\n5\n", 5, true, {"12", "5", "<end>"}},
    {"leading comma", ",5\n", 5, true, {"", "<end>"}},
    {"leading comma, no line end", ",5", 5, true, {"<end>"}},
    {"comma is ordinary in a name", "a,b\n", 32, false, {"a,b", "<end>"}},
    {"long name cut at 32",
     std::string(40, 'n') + "\nnext\n",
     32,
     false,
     {std::string(32, 'n'), "next", "<end>"}},
    {"long data line",
     std::string(100, 'x') + "\n1 2\n",
     80,
     false,
     {std::string(80, 'x'), "1 2", "<end>"}},
    {"a skipped rest ends at its own line end",
     std::string(80, 'x') + "yy\rnext\r" + std::string(90, 'z') + "\r\nlast\r",
     80,
     false,
     {std::string(80, 'x'), "next", std::string(80, 'z'), "last", "<end>"}},
    {"CR-only lines", "1 2\r3 4\r", 80, false, {"1 2", "3 4", "<end>"}},
    {"NUL is an ordinary byte",
     std::string("a\0b\n", 4),
     32,
     false,
     {std::string("a\0b", 3), "<end>"}},
};

TEST(TakeLine, LineRules) {
  for (const auto& c : kCases) {
    EXPECT_EQ(take_all(c.bytes, c.width, c.numeric), c.fields) << c.name;
  }
}

// A console that has sent one answer: every read after the first is
// counted, as one that would wait for the writer to send more.
class OneAnswer : public ByteSource {
 public:
  long read(char* buffer, std::size_t size) override {
    if (reads_++ > 0) return 0;
    const std::string_view answer = "3\n";
    return static_cast<long>(answer.copy(buffer, size));
  }
  int reads() const { return reads_; }

 private:
  int reads_ = 0;
};

// A console answer is complete at its line end: the field is taken without
// another read, which would wait for the writer to send more or to close.
TEST(TakeLine, DoesNotReadPastTheLineEnd) {
  OneAnswer console;
  char buffer[4096];
  InputStream in(buffer);
  in.attach(console);
  FieldText field;
  ASSERT_EQ(take_line(in, 5, true, field), TakeStatus::line);
  EXPECT_EQ(field.view(), "3");
  EXPECT_EQ(console.reads(), 1);
}

TEST(TakeLine, UnreadableStreamFailsOnFirstRead) {
  char buffer[InputStream::kReadPadding + 16];
  InputStream in(buffer);
  in.attach(-1, false);
  FieldText field;
  EXPECT_EQ(take_line(in, 80, false, field), TakeStatus::failed);
  EXPECT_EQ(in.failure_text(), "Cannot read from file opened for WRITE");
}

TEST(TakeLine, ReadErrorCountsAsEndWhileFilling) {
  char buffer[InputStream::kReadPadding + 16];
  InputStream in(buffer, OnReadError::ends_input_while_filling);
  in.attach(-1);  // every read fails with EBADF
  FieldText field;
  EXPECT_EQ(take_line(in, 80, false, field), TakeStatus::end_of_input);
}

TEST(TakeStoredField, TrailingBlanksGoFirst) {
  EXPECT_EQ(take_stored_field("12   ", 5), "12");
  EXPECT_EQ(take_stored_field("1234567   ", 5), "12345");
  EXPECT_EQ(take_stored_field("      ", 5), "");
  EXPECT_EQ(take_stored_field("  7 ", 5), "  7");
}

}  // namespace
}  // namespace tovel
