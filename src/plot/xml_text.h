#pragma once

#include <string>
#include <string_view>

namespace tovel {

// Any bytes as text that an XML parser accepts inside an element: the
// markup characters as &amp;, &lt; and &gt;, well-formed UTF-8 as it is,
// and in place of each character XML cannot hold, or that means nothing as
// text, U+FFFD: bytes that are not UTF-8 (overlong forms, surrogates, code
// points above U+10FFFF), control characters and noncharacters.
std::string xml_text(std::string_view raw);

}  // namespace tovel
