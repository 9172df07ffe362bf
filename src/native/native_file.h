#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/report.h"
#include "datafile/line_rules.h"

namespace tovel {

// Instrument files (diffraction patterns, spectra) in their own formats,
// read through xylib when the build has it.

// Whether this build reads instrument formats, and the words --version says
// of them.
bool native_formats_built_in();
std::string native_formats_version();

// The refusal of an instrument file by a build without xylib.
inline constexpr std::string_view kTextOnlyBuild =
    "this build reads text data files only; build it with libxy-dev for instrument formats";

// The formats xylib reads, by the names --format takes.
struct NativeFormat {
  std::string name;
  std::string description;
};
std::vector<NativeFormat> native_formats();
bool is_native_format(std::string_view name);

// Whether a file of this name is text that Tovel reads itself, by its
// extension: .DAT, .txt, .csv, .tsv, .xy, .xye, or none, in any case.
bool has_text_extension(std::string_view name);

// An instrument file read through xylib, as the text of its points: a line
// a point, the values of its columns that `rules` reads, each xylib's
// binary64 value rounded once to binary32 and written with 9 significant
// digits, which read back to that value; a column that is not read is 0.
struct NativeText {
  std::optional<Failure> failure;  // the file cannot be read so, or lacks the block
  int blocks = 0;                  // the blocks the file holds
  std::string text;
};
// Reads block `block` (from 1) of `name` as `format`, or as the format xylib
// recognises when `format` is empty. Safe on any thread: xylib is called by
// one thread at a time.
NativeText read_native_file(const std::string& name, const std::string& format, int block,
                            const LineRules& rules);

}  // namespace tovel
