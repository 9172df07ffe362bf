#include "points/header_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovel {
namespace {

// Which x count as the header's at a position: the same text, the same
// value, or within 1 % of the header's spacing there.
TEST(HeaderGrid, SameX) {
  const struct {
    const char* name;
    std::vector<std::string> header;  // "" for an empty line
    std::size_t at;
    std::string x;  // "" for an empty line
    bool same;
  } cases[] = {
      {"the same text", {"400", "401"}, 0, "400", true},
      {"the same value written otherwise", {"400", "401"}, 1, "4.01e2", true},
      {"within 1 % of the spacing", {"400", "401", "403"}, 1, "401.0099", true},
      {"beyond 1 % of the spacing", {"400", "401", "403"}, 1, "401.011", false},
      {"the smaller spacing counts", {"400", "401", "403"}, 1, "400.989", false},
      {"half a step off", {"400", "401"}, 0, "400.5", false},
      {"a header of one point", {"400"}, 0, "400.0001", false},
      {"equal neighbours", {"5", "5", "5"}, 1, "5.00001", false},
      {"numpy's text, the same",
       {"4.000e+02", "4.008000000000000114e+02"},
       1,
       "4.008000000000000114e+02",
       true},
      {"numpy's text, the same length and value otherwise",
       {"4.000e+02", "4.012000000000000000e+02"},
       1,
       "4.008000000000000114e+02",
       false},
      {"an empty line in the file", {"400", "401"}, 1, "", true},
      {"an empty line in the header", {"400", "", "402"}, 1, "7", true},
  };
  for (const auto& c : cases) {
    std::vector<DeferredReal> x;
    std::vector<int> empty;
    for (const std::string& text : c.header) {
      if (text.empty()) empty.push_back(static_cast<int>(x.size()));
      x.push_back(text.empty() ? DeferredReal() : DeferredReal(text));
    }
    const HeaderGrid grid(x, x.size(), empty);
    const DeferredReal point = c.x.empty() ? DeferredReal() : DeferredReal(c.x);
    EXPECT_EQ(grid.same_x(c.at, point, c.x.empty()), c.same) << c.name;
  }
}

}  // namespace
}  // namespace tovel
