#pragma once

#include <string>
#include <string_view>

#include "run/naming.h"

namespace tovel {

// Where a series is not what the run looks for, the directory is looked at
// once to say what the user may have meant. Each returns the words of a
// "tovel: hint:" line, or "" when there is nothing to say.

// A name in the current directory that differs from `name` only in case,
// or "".
std::string namesake_in_other_case(std::string_view name);

// The first data file is missing: files numbered with three or five digits,
// a series that starts at 0000, or a first file whose name is cut at 32
// characters.
std::string hint_for_missing_first_file(const SeriesNaming& naming);

// The first data file is missing, but the first name given names a file of
// another series (sample_001.txt, Scan-1.csv): the files of that series
// found beside it, and the --files command that collates them.
std::string hint_for_named_files(const SeriesNaming& naming);

// Data file `missing` (from 2) is missing: where the series ends, or that
// it goes on beyond the gap.
std::string hint_for_missing_file(const SeriesNaming& naming, int missing);

// The table cannot be opened and the prefix holds a directory: where to run.
std::string hint_for_table_elsewhere(const SeriesNaming& naming);

// The words of "tovel: warning:" lines about a numbered series of `files`
// files once it is collated, or "": PREFIX0000.DAT beside it, which is not
// collated; and rows that share a label, for a prefix of more than 6
// characters.
std::string zeroth_file_warning(const SeriesNaming& naming);
std::string shared_labels_warning(const SeriesNaming& naming, int files);

}  // namespace tovel
