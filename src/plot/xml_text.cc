#include "plot/xml_text.h"

#include <cstdint>

namespace tovel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The code point of the UTF-8 sequence at the start of `s` and its length,
// or a length of 0 when the sequence is not well-formed: a bad lead or
// continuation byte, an overlong form, a surrogate or a value above
// U+10FFFF.
struct Decoded {
  uint32_t code_point;
  std::size_t length;
};

Decoded decode_utf8(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || length > s.size()) return {0, 0};
  uint32_t code_point = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {0, 0};
    code_point = code_point << 6 | (byte(i) & 0x3F);
  }
  constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool fits = code_point >= kSmallest[length] && code_point <= 0x10FFFF &&
                    (code_point < 0xD800 || code_point > 0xDFFF);
  return {code_point, fits ? length : 0};
}

// Whether a character shows as text: no control character (C0, DEL, C1)
// and no noncharacter (U+FDD0 to U+FDEF, and the last two of every plane).
bool shows_as_text(uint32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
  if (c >= 0xFDD0 && c <= 0xFDEF) return false;
  return (c & 0xFFFE) != 0xFFFE;
}

}  // namespace

std::string xml_text(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  while (!raw.empty()) {
    const Decoded d = decode_utf8(raw);
    if (d.length == 0 || !shows_as_text(d.code_point)) {
      text += kReplacement;
    } else if (raw[0] == '&') {
      text += "&amp;";
    } else if (raw[0] == '<') {
      text += "&lt;";
    } else if (raw[0] == '>') {
      text += "&gt;";
    } else {
      text += raw.substr(0, d.length);
    }
    raw.remove_prefix(d.length == 0 ? 1 : d.length);
  }
  return text;
}

}  // namespace tovel
