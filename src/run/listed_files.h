#pragma once

#include <string>

#include "run/naming.h"

namespace tovel {

// Why the files named by --files cannot be collated, as the refusal says it
// before anything is written: a file that is missing, is a directory or
// cannot be read (the system's text), one given twice, or one that is an
// output of this run (the picture's only `with_picture`). Empty when every
// file is fine.
std::string refusal_of_listed_files(const SeriesNaming& naming, int files, bool with_picture);

// The warning that the running numbers in the names do not increase in the
// order given, for the first pair that shows it; empty when they do.
std::string order_warning(const SeriesNaming& naming, int files);

}  // namespace tovel
