#pragma once

#include <string>
#include <string_view>

#include "run/naming.h"

namespace tovel {

// `text` as one word for /bin/sh: in single quotes, a single quote inside
// written as '\''.
std::string shell_quote(std::string_view text);

// The commands that hand the finished table to the shell. Names are used
// without their trailing blanks and quoted; the listing pattern is left bare
// so that the shell expands it.
std::string copy_command(const Name& fname0, const Name& fname1);
std::string listing_command(const Name& fname2);
std::string open_command(const Name& fname0);

// Runs `command` through the system shell once all pending output has been
// written out, and waits for it. Its status and output are not looked at.
void run_shell_command(const std::string& command);

}  // namespace tovel
