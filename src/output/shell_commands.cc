#include "output/shell_commands.h"

#include <algorithm>

namespace tovel {

std::string shell_quote(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
}

std::string shell_word(std::string_view text) {
  constexpr std::string_view kPlain = "_./+-,=:@%";
  const bool plain = std::all_of(text.begin(), text.end(), [&](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kPlain.find(c) != std::string_view::npos;
  });
  return plain ? std::string(text) : shell_quote(text);
}

std::string copy_command(std::string_view table, std::string_view copy) {
  return "cp " + shell_quote(table) + " " + shell_quote(copy);
}

std::string listing_command(std::string_view pattern) {
  return "ls -l " + std::string(pattern);
}

std::string open_command(std::string_view table) {
  return "bbedit " + shell_quote(table);
}

}  // namespace tovel
