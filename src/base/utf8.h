#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tovel {

// The code point of the UTF-8 sequence at the start of `s` (not empty), and
// the sequence's length; a length of 0 when it is not well-formed: a bad
// lead or continuation byte, a cut sequence, an overlong form, a surrogate
// or a value above U+10FFFF.
struct Utf8Sequence {
  uint32_t code_point;
  std::size_t length;
};
Utf8Sequence decode_utf8(std::string_view s);

// Whether a character shows as text: no control character (C0, DEL, C1)
// and no noncharacter (U+FDD0 to U+FDEF, and the last two of every plane).
constexpr bool shows_as_text(uint32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
  if (c >= 0xFDD0 && c <= 0xFDEF) return false;
  return (c & 0xFFFE) != 0xFFFE;
}

}  // namespace tovel
