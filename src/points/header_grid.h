#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "datafile/data_line.h"

namespace tovel {

// The header row's x values, those of the first file, against which each
// later file's x values are compared point by point: columns are matched by
// position, so a file on another x grid puts its y values under x values
// they were not measured at.
class HeaderGrid {
 public:
  // The first file's x values as read, and the points of it that were
  // empty lines, which are not compared.
  HeaderGrid(const std::vector<DeferredReal>& x, std::size_t points,
             const std::vector<int>& empty_points);

  std::size_t size() const { return x_.size(); }
  // Whether the point at `at` (from 0, below size()) has the header's x:
  // the same text, or a value no farther from the header's than 1 % of the
  // header's spacing there (the smaller distance to a neighbour; for a
  // header of one point, or equal neighbours, the very value). An empty
  // line, the file's or the header's, always has it.
  bool same_x(std::size_t at, const DeferredReal& x, bool empty_line) const {
    return same_short_text(at, x) || same_x_in_general(at, x, empty_line);
  }
  // Whether the point at `at` has the header's very text, when that is of 8
  // characters or fewer: the cheap test, for every point of every file,
  // which the usual series passes. A longer text is left to same_x.
  bool same_short_text(std::size_t at, const DeferredReal& x) const {
    const TextKey& key = keys_[at];
    return x.text_length() == key.length && (x.first_word() & key.mask) == key.word;
  }
  // The same for a header text of 9 to 26 characters, which numpy's and
  // R's x values have, for the points that fail the first test.
  bool same_long_text(std::size_t at, const DeferredReal& x) const {
    const LongTextKey& key = long_keys_[at];
    if (x.text_length() != key.length) return false;
    const std::array<uint64_t, 4> words = x.text_words();
    uint64_t differ = 0;
    for (std::size_t i = 0; i < words.size(); ++i)
      differ |= (words[i] & key.mask[i]) ^ key.word[i];
    return differ == 0;
  }
  // same_x for the points that fail same_short_text.
  bool same_x_in_general(std::size_t at, const DeferredReal& x, bool empty_line) const;
  const DeferredReal& x(std::size_t at) const { return x_[at]; }

 private:
  // A header x's text as the cheap test looks at it: its length, or one no
  // text has for one longer than 8, and its first eight characters, those
  // beyond its length masked off.
  static constexpr uint8_t kNoShortText = 254;
  struct TextKey {
    uint64_t word;
    uint64_t mask;
    uint8_t length;
  };
  // A header text of 9 to 26 characters, whole: its length, or one that no
  // token has for any other, and its words masked to it.
  struct LongTextKey {
    std::array<uint64_t, 4> word;
    std::array<uint64_t, 4> mask;
    uint8_t length;
  };
  static LongTextKey long_text_key(const DeferredReal& x);

  std::vector<DeferredReal> x_;
  std::vector<TextKey> keys_;
  std::vector<LongTextKey> long_keys_;
  std::vector<double> value_;
  std::vector<double> tolerance_;  // 0: only the very value
  std::vector<bool> empty_;
};

}  // namespace tovel
