#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_text.h"
#include "output/table_layout.h"

namespace tovel {

using Name = FixedText<32>;

// A series holds 2 to 9999 files, numbered with four digits from 0001.
inline constexpr int kMinFiles = 2;
inline constexpr int kMaxFiles = 9999;

// The form of every numbered data file's name: the prefix, the file's
// number in four digits, and the extension, PREFIX0001.DAT.
inline constexpr std::size_t kNumberDigits = 4;
inline constexpr std::string_view kDataExtension = ".DAT";
// The name of file `number` of the series of `prefix`, whole.
std::string series_file_name(std::string_view prefix, int number);
// The number of the file `name` when it is one of the series of `prefix`
// (1 to 9999, or 0000), else -1.
int series_file_number(std::string_view name, std::string_view prefix);

// A name's running number: its last run of digits (at most 18), with the
// text before and after it, which the names of one series share.
struct RunningNumber {
  std::string_view before, after;
  std::size_t digits = 0;  // 0 when the name holds no number
  unsigned long long value = 0;
};
RunningNumber running_number(std::string_view name);

// The names of one data file of the series.
struct FileNames {
  std::string data_name;  // the file's name, without trailing blanks
  std::string row_label;  // its row's label, without padding
};

// A name in the field of 32 characters that the dialogue shows names in:
// padded when shorter, whole when longer, its control bytes as \xHH.
std::string name_field(std::string_view name);

// The prefix of the outputs of files named by --files: the longest
// beginning their base names share, less the digits it ends in and then the
// '_', '-', '.' and blanks it ends in; "series" when nothing is left.
std::string common_prefix(const std::vector<std::string>& files);

// Every name of a series: derived from the first name the user gave, for a
// numbered series, or the files named by --files, in order.
class SeriesNaming {
 public:
  // A numbered series: its names cut at 32 characters.
  explicit SeriesNaming(const Name& first_name);
  // The files named, in order; the outputs are named by `prefix`, whole.
  SeriesNaming(std::vector<std::string> files, std::string prefix);

  // Whether the files were named one by one (--files).
  bool listed() const { return !files_.empty(); }
  // The prefix length of a numbered series, 0 to 32.
  int prefix_length() const { return static_cast<int>(prefix_.size()); }
  // A numbered series' prefix: the first prefix_length characters of the
  // given name, blanks included.
  std::string_view prefix() const { return prefix_; }
  // The name the user gave first, as given (cut at 32).
  std::string_view first_name() const { return first_name_.trimmed(); }
  const std::string& table_name() const { return table_name_; }  // "All_" + prefix + ".txt"
  const std::string& copy_name() const { return copy_name_; }    // "All_" + prefix + ".csv"
  const std::string& listing_pattern() const { return listing_pattern_; }  // "All_*"
  const std::string& picture_name() const { return picture_name_; }  // "All_" + prefix + ".svg"

  // The names of file number i (1 to 9999); the second form reuses the
  // room of `names`, as a loop over the files does.
  FileNames file(int i) const {
    FileNames names;
    file(i, names);
    return names;
  }
  void file(int i, FileNames& names) const;
  // The name of file number i alone.
  std::string data_name(int i) const;
  // The width of the row labels' column: 10, or the longest listed label.
  std::size_t label_width() const { return label_width_; }

 private:
  Name first_name_;
  std::string prefix_;
  std::vector<std::string> files_;
  std::string table_name_;
  std::string copy_name_;
  std::string listing_pattern_ = "All_*";
  std::string picture_name_;
  std::size_t label_width_ = kLeastLabelWidth;
};

}  // namespace tovel
