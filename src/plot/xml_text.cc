#include "plot/xml_text.h"

#include "base/utf8.h"

namespace tovel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::string xml_text(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  while (!raw.empty()) {
    const Utf8Sequence d = decode_utf8(raw);
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
