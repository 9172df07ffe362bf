#include "run/naming.h"

#include <string>

#include "base/byte_class.h"
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

std::string series_file_name(std::string_view prefix, int number) {
  char digits[kNumberDigits];
  put_digits(digits, static_cast<uint32_t>(number), kNumberDigits);
  std::string name(prefix);
  name.append(digits, kNumberDigits);
  name += kDataExtension;
  return name;
}

int series_file_number(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + kNumberDigits + kDataExtension.size() ||
      !name.starts_with(prefix) || !name.ends_with(kDataExtension)) {
    return -1;
  }
  int number = 0;
  for (const char c : name.substr(prefix.size(), kNumberDigits)) {
    if (!in_class(c, kDigit)) return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

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
  char text[Name::size() + kNumberDigits + kDataExtension.size()];
  const std::string_view p = prefix();
  p.copy(text, p.size());
  char* const number = text + p.size();
  put_digits(number, static_cast<uint32_t>(i), kNumberDigits);
  names.number_text.assign({number, kNumberDigits});
  names.row_name.assign({text, p.size() + kNumberDigits});
  kDataExtension.copy(number + kNumberDigits, kDataExtension.size());
  names.data_name.assign({text, p.size() + kNumberDigits + kDataExtension.size()});
  return names;
}

}  // namespace tovel
