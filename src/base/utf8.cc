#include "base/utf8.h"

namespace tovel {

Utf8Sequence decode_utf8(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || length > s.size()) return {0, 0};
  uint32_t code_point = lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {0, 0};
    code_point = code_point << 6 | (byte(i) & 0x3Fu);
  }
  constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool fits = code_point >= kSmallest[length] && code_point <= 0x10FFFF &&
                    (code_point < 0xD800 || code_point > 0xDFFF);
  return {code_point, fits ? length : 0};
}

}  // namespace tovel
