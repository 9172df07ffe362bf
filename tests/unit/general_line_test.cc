#include "datafile/general_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovel {
namespace {

struct Case {
  std::string line;
  std::vector<std::string> tokens;
  uint16_t separators = kSeparator;
};

const Case kCases[] = {
    {"1 2 3", {"1", "2", "3"}},
    {"1.5,2.5", {"1.5", "2.5"}},
    {"  7   8   9   10", {"7", "8", "9", "10"}},
    {"\t1\t2", {"1", "2"}},
    {",,1,,2,,3", {"1", "2", "3"}},
    {"1, ,2", {"1", "2"}},
    {"1\t2\t", {"1", "2"}},
    {"1,", {"1"}},
    {"", {}},
    {"      ", {}},
    {" ,\t, ", {}},
    {"12345678901234567890 2", {"12345678901234567890", "2"}},
    {"a\tb ,c,d", {"a", "b", "c", "d"}},
    {"400,5;0,0104", {"400,5", "0,0104"}, kDecimalCommaSeparator},
    {"1,5\t2,5 ; ;3;", {"1,5", "2,5", "3"}, kDecimalCommaSeparator},
};

TEST(SplitDataLine, Tokens) {
  for (const auto& c : kCases) {
    const LineTokens t = split_data_line(c.line, c.separators);
    std::vector<std::string> got;
    for (int i = 0; i < t.count; ++i)
      got.emplace_back(t.token[static_cast<std::size_t>(i)]);
    EXPECT_EQ(got, c.tokens) << '"' << c.line << '"';
  }
}

}  // namespace
}  // namespace tovel
