#pragma once

#include <string_view>

#include "base/fixed_text.h"

namespace tovel {

using Name = FixedText<32>;

// The names of one data file of the series.
struct FileNames {
  FixedText<4> mc;  // the file number as four digits
  Name fname;       // prefix + mc + ".DAT", cut at 32
  Name oname;       // prefix + mc, cut at 32
  // The row label: the first 10 characters of oname.
  std::string_view row_label() const { return oname.full().substr(0, 10); }
};

// Every name of a series, derived from the first name the user gave.
class SeriesNaming {
 public:
  explicit SeriesNaming(const Name& dname);

  // The prefix length, 0 to 32.
  int fn() const { return fn_; }
  // The first fn characters of the given name, blanks included.
  std::string_view prefix() const { return dname_.full().substr(0, static_cast<std::size_t>(fn_)); }
  // The prefix as a 32-character name, as "The prefix is" shows it.
  Name prefix_field() const { return Name(prefix()); }
  const Name& fname0() const { return fname0_; }    // "All_" + prefix + ".txt"
  const Name& fname1() const { return fname1_; }    // "All_" + prefix + ".csv"
  const Name& fname2() const { return fname2_; }    // "All_*"
  const Name& picture() const { return picture_; }  // "All_" + prefix + ".svg"

  // The names of file number i (1 to 9999).
  FileNames file(int i) const;

 private:
  Name dname_;
  int fn_;
  Name fname0_;
  Name fname1_;
  Name fname2_;
  Name picture_;
};

}  // namespace tovel
