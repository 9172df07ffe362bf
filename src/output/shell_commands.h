#pragma once

#include <string>
#include <string_view>

namespace tovel {

// `text` as one word for /bin/sh: in single quotes, a single quote inside
// written as '\''.
std::string shell_quote(std::string_view text);

// `text` as one word for /bin/sh that a person can read: as it stands when
// the shell would take it so (letters, digits and _ . / + - , = : @ %),
// else quoted as shell_quote quotes it.
std::string shell_word(std::string_view text);

// The commands that hand the finished table to the shell, given the names
// without their trailing blanks. Names are quoted; the listing pattern is
// left bare so that the shell expands it.
std::string copy_command(std::string_view table, std::string_view copy);
std::string listing_command(std::string_view pattern);
std::string open_command(std::string_view table);

}  // namespace tovel
