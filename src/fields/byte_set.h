#pragma once

#include <array>
#include <initializer_list>

namespace tovel {

// A set of byte values with a one-load membership test, built at compile
// time: the separators of a data line, the bytes that end a field.
class ByteSet {
 public:
  constexpr ByteSet(std::initializer_list<char> members) {
    for (const char c : members)
      member_[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool contains(char c) const { return member_[static_cast<unsigned char>(c)]; }

 private:
  std::array<bool, 256> member_{};
};

}  // namespace tovel
