#include "datafile/plain_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "datafile/readdata.h"
#include "fields/real_field.h"

namespace tovel {
namespace {

uint32_t bits_of(float f) {
  return std::bit_cast<uint32_t>(f);
}

// A stream over `bytes`, read through a pipe into a buffer of its own.
class PipeStream {
 public:
  explicit PipeStream(const std::string& bytes) : buffer_(1 << 16), in_(buffer_) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fds[1]);
    fd_ = fds[0];
    in_.attach(fd_);
  }
  ~PipeStream() { close(fd_); }
  InputStream& in() { return in_; }

 private:
  std::vector<char> buffer_;
  InputStream in_;
  int fd_ = -1;
};

struct Values {
  float x;
  float y;
  float z;
};

// The values the general reader gives the next line: take the line, split it,
// decode its tokens. False at the end of input or for a token that is not a
// number.
bool general_line(InputStream& in, Values& values, bool& bad) {
  FieldText field;
  if (take_field(in, kDataLineWidth, false, field) != TakeStatus::line) return false;
  const LineTokens tokens = split_data_line(field.view());
  float v[3] = {0.0f, 0.0f, 0.0f};
  bad = false;
  for (int t = 0; t < tokens.count; ++t) {
    const RealFieldResult r = decode_real_field(tokens.token[static_cast<std::size_t>(t)]);
    bad = bad || !r.ok;
    v[t] = r.value;
  }
  values = {v[0], v[1], v[2]};
  return true;
}

struct Outcome {
  int fast = 0;      // lines read by read_plain_line
  int declined = 0;  // lines it left to the general reader
};

// Reads `image` line by line through read_plain_line, falling back to the
// general reader where it declines, beside a second stream read by the
// general reader alone: the values and the line counts must agree.
Outcome compare_with_general_reader(const std::string& image) {
  PipeStream fast(image);
  PipeStream general(image);
  Outcome outcome;
  for (int guard = 0; guard < 10000; ++guard) {
    Values expected{};
    bool bad = false;
    const bool has_line = general_line(general.in(), expected, bad);
    DataLine line;
    if (read_plain_line(fast.in(), line)) {
      const Values got{line.x.value(), line.y, line.z.value()};
      ++outcome.fast;
      EXPECT_TRUE(has_line && !bad) << "a line the general reader refuses: " << image;
      if (!has_line || bad) return outcome;
      EXPECT_EQ(bits_of(got.x), bits_of(expected.x)) << image;
      EXPECT_EQ(bits_of(got.y), bits_of(expected.y)) << image;
      EXPECT_EQ(bits_of(got.z), bits_of(expected.z)) << image;
    } else {
      ++outcome.declined;
      Values ignored{};
      bool ignored_bad = false;
      EXPECT_EQ(general_line(fast.in(), ignored, ignored_bad), has_line) << image;
    }
    EXPECT_EQ(fast.in().lines_taken(), general.in().lines_taken()) << image;
    if (!has_line) return outcome;
  }
  ADD_FAILURE() << "no end of input";
  return outcome;
}

// Lines of the common shapes are read by the fast reader, with the general
// reader's values.
TEST(ReadPlainLine, CommonLinesAreReadDirectly) {
  const char* const lines[] = {
      "400\t8.4215\n",
      "400.8,-18.299\n",
      "401.6, 53.33\r\n",
      "402.4   15.57\n",
      "403.2 \t-1.6183e-05\t0\n",
      "+1.5 .25 -7.\n",
      "1.2E+03,4.5e-7\n",
      "\n",
      " , \t\n",
      "123456.7654321 9999999\n",
      "12345678901234 1\n",
      "1 2 3\n",
      "    1.000000E+00    2.500000E-01    0.000000E+00\n",
  };
  for (const char* line : lines) {
    const std::string image = std::string(line) + "7 8\n";
    const Outcome outcome = compare_with_general_reader(image);
    EXPECT_EQ(outcome.fast, 2) << line;
  }
}

// A random token: mostly numbers of the plain shape, some of the other forms
// the field allows, some that are not numbers.
std::string random_token(std::mt19937& random) {
  static const char* const kOdd[] = {"1e",
                                     "1.2.3",
                                     "+",
                                     "-",
                                     "-.",
                                     ".",
                                     "1-2",
                                     "1+5",
                                     "1d5",
                                     "2q-3",
                                     "nan",
                                     "Inf",
                                     "x",
                                     "1e12345",
                                     "e5",
                                     "1.5E",
                                     "--1",
                                     "1,5",
                                     "0.0",
                                     "-0",
                                     "1e-45",
                                     "3.5e38",
                                     "123456789012345678",
                                     "0000000001.5"};
  const int kind = static_cast<int>(random() % 10);
  if (kind == 0) return kOdd[random() % std::size(kOdd)];
  std::string t;
  if (random() % 3 == 0) t += random() % 2 ? '-' : '+';
  const int whole = static_cast<int>(random() % 10);
  const int fraction = static_cast<int>(random() % 10);
  for (int i = 0; i < whole; ++i)
    t += static_cast<char>('0' + random() % 10);
  if (random() % 4 != 0) t += '.';
  for (int i = 0; i < fraction; ++i)
    t += static_cast<char>('0' + random() % 10);
  if (random() % 5 == 0) {
    t += random() % 2 ? 'e' : 'E';
    if (random() % 2) t += random() % 2 ? '-' : '+';
    const int digits = static_cast<int>(random() % 6);
    for (int i = 0; i < digits; ++i)
      t += static_cast<char>('0' + random() % 10);
  }
  return t;
}

std::string random_line(std::mt19937& random) {
  static const char* const kSeparators[] = {" ", "\t", ",", ", ", "   ", " \t", ",,", "          "};
  static const char* const kEnds[] = {"\n", "\n", "\n", "\r\n", "\r", "\n\r"};
  std::string line;
  if (random() % 4 == 0) line += kSeparators[random() % std::size(kSeparators)];
  const int tokens = static_cast<int>(random() % 5);
  for (int i = 0; i < tokens; ++i) {
    if (i > 0) line += kSeparators[random() % std::size(kSeparators)];
    line += random_token(random);
  }
  if (random() % 4 == 0) line += kSeparators[random() % std::size(kSeparators)];
  if (random() % 50 == 0) line += std::string(random() % 90, ' ') + "9";
  return line + kEnds[random() % std::size(kEnds)];
}

// Random lines, alone and in runs, with every line end and none at the end of
// the input.
TEST(ReadPlainLine, AgreesWithTheGeneralReader) {
  std::mt19937 random(11);
  Outcome total;
  for (int round = 0; round < 4000; ++round) {
    std::string image;
    const int lines = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < lines; ++i)
      image += random_line(random);
    if (random() % 4 == 0) image.pop_back();  // no line end at the end
    const Outcome outcome = compare_with_general_reader(image);
    total.fast += outcome.fast;
    total.declined += outcome.declined;
    if (HasFailure()) break;
  }
  // Both kinds occur often enough for the comparison to mean something.
  EXPECT_GT(total.fast, 5000);
  EXPECT_GT(total.declined, 2000);
}

}  // namespace
}  // namespace tovel
