#pragma once

#include <string>
#include <string_view>

#include "base/fixed_text.h"

namespace tovel {

using Name = FixedText<32>;

// A series holds 2 to 9999 files, numbered with four digits from 0001.
inline constexpr int kMinFiles = 2;
inline constexpr int kMaxFiles = 9999;

// The form of every data file's name: the prefix, the file's number in
// four digits, and the extension, PREFIX0001.DAT.
inline constexpr std::size_t kNumberDigits = 4;
inline constexpr std::string_view kDataExtension = ".DAT";
// The name of file `number` of the series of `prefix`, whole.
std::string series_file_name(std::string_view prefix, int number);
// The number of the file `name` when it is one of the series of `prefix`
// (1 to 9999, or 0000), else -1.
int series_file_number(std::string_view name, std::string_view prefix);

// The names of one data file of the series.
struct FileNames {
  FixedText<4> number_text;  // the file number as four digits
  Name data_name;            // prefix + number_text + ".DAT", cut at 32
  Name row_name;             // prefix + number_text, cut at 32
  // The row label: the first 10 characters of row_name.
  std::string_view row_label() const { return row_name.full().substr(0, 10); }
};

// Every name of a series, derived from the first name the user gave.
class SeriesNaming {
 public:
  explicit SeriesNaming(const Name& first_name);

  // The prefix length, 0 to 32.
  int prefix_length() const { return prefix_length_; }
  // The first prefix_length characters of the given name, blanks included.
  std::string_view prefix() const {
    return first_name_.full().substr(0, static_cast<std::size_t>(prefix_length_));
  }
  // The prefix as a 32-character name, as "The prefix is" shows it.
  Name prefix_field() const { return Name(prefix()); }
  const Name& table_name() const { return table_name_; }            // "All_" + prefix + ".txt"
  const Name& copy_name() const { return copy_name_; }              // "All_" + prefix + ".csv"
  const Name& listing_pattern() const { return listing_pattern_; }  // "All_*"
  const Name& picture_name() const { return picture_name_; }        // "All_" + prefix + ".svg"

  // The names of file number i (1 to 9999).
  FileNames file(int i) const;

 private:
  Name first_name_;
  int prefix_length_;
  Name table_name_;
  Name copy_name_;
  Name listing_pattern_;
  Name picture_name_;
};

}  // namespace tovel
