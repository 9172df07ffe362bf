#include "run/naming.h"

#include <string>

#include "base/digits.h"

namespace tovel {
namespace {

// The prefix length: the name is expected to read PREFIX0001.EXT, so the
// prefix ends four characters before the first point; failing that it ends
// before the first "0001"; failing that it is the whole name.
int prefix_length_of(const Name& first_name) {
  const std::string_view name = first_name.full();
  const std::size_t point = name.find('.');
  int length = point == std::string_view::npos ? -5 : static_cast<int>(point + 1) - 5;
  if (length <= 0) {
    const std::size_t first = name.find("0001");
    length = first == std::string_view::npos ? -1 : static_cast<int>(first);
  }
  if (length <= 0) length = static_cast<int>(first_name.trimmed().size());
  return length;
}

}  // namespace

SeriesNaming::SeriesNaming(const Name& first_name)
    : first_name_(first_name), prefix_length_(prefix_length_of(first_name)) {
  const std::string prefix_text(prefix());
  table_name_.assign("All_" + prefix_text + ".txt");
  copy_name_.assign("All_" + prefix_text + ".csv");
  listing_pattern_.assign("All_*");
  picture_name_.assign("All_" + prefix_text + ".svg");
}

FileNames SeriesNaming::file(int i) const {
  FileNames names;
  char number[4];
  put_digits(number, static_cast<uint32_t>(i), 4);
  names.number_text.assign({number, 4});
  char text[40];
  const std::string_view p = prefix();
  p.copy(text, p.size());
  std::copy_n(number, 4, text + p.size());
  names.row_name.assign({text, p.size() + 4});
  std::copy_n(".DAT", 4, text + p.size() + 4);
  names.data_name.assign({text, p.size() + 8});
  return names;
}

}  // namespace tovel
