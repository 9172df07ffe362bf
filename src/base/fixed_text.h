#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace tovel {

// The text without its trailing blanks.
inline std::string_view trim_trailing_blanks(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ')
    --n;
  return text.substr(0, n);
}

// A text of a declared length: blank-padded on the right when the value is
// shorter, cut when it is longer. Names, labels and line fields are all of
// this kind.
template <std::size_t N>
class FixedText {
 public:
  FixedText() { chars_.fill(' '); }
  explicit FixedText(std::string_view value) { assign(value); }

  void assign(std::string_view value) {
    const std::size_t n = std::min(value.size(), N);
    std::copy_n(value.begin(), n, chars_.begin());
    std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(n), chars_.end(), ' ');
  }

  // The whole field, trailing blanks included.
  std::string_view full() const { return {chars_.data(), N}; }

  // The field without its trailing blanks.
  std::string_view trimmed() const { return trim_trailing_blanks(full()); }

  static constexpr std::size_t size() { return N; }

 private:
  std::array<char, N> chars_;
};

}  // namespace tovel
