#include "run/naming.h"

#include <algorithm>
#include <string>

#include "base/byte_class.h"
#include "base/digits.h"
#include "base/report.h"

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

RunningNumber running_number(std::string_view name) {
  RunningNumber number;
  std::size_t end = name.size();
  while (end > 0 && !in_class(name[end - 1], kDigit))
    --end;
  std::size_t begin = end;
  while (begin > 0 && in_class(name[begin - 1], kDigit))
    --begin;
  if (begin == end || end - begin > 18) return number;
  number.before = name.substr(0, begin);
  number.after = name.substr(end);
  number.digits = end - begin;
  for (const char c : name.substr(begin, end - begin))
    number.value = number.value * 10 + static_cast<unsigned>(c - '0');
  return number;
}

std::string name_field(std::string_view name) {
  std::string field = shown_name(name);
  if (field.size() < Name::size()) field.resize(Name::size(), ' ');
  return field;
}

namespace {

std::string_view base_name(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A base name without its extension: up to its last point, unless the
// point begins it.
std::string_view without_extension(std::string_view name) {
  const std::size_t point = name.rfind('.');
  return point == std::string_view::npos || point == 0 ? name : name.substr(0, point);
}

}  // namespace

std::string common_prefix(const std::vector<std::string>& files) {
  std::string_view shared = files.empty() ? std::string_view() : base_name(files.front());
  for (const std::string& file : files) {
    const std::string_view name = base_name(file);
    const auto differ = std::mismatch(shared.begin(), shared.end(), name.begin(), name.end());
    shared = shared.substr(0, static_cast<std::size_t>(differ.first - shared.begin()));
  }
  while (!shared.empty() && in_class(shared.back(), kDigit))
    shared.remove_suffix(1);
  while (!shared.empty() && std::string_view("_-. ").find(shared.back()) != std::string_view::npos)
    shared.remove_suffix(1);
  return shared.empty() ? "series" : std::string(shared);
}

SeriesNaming::SeriesNaming(const Name& first_name)
    : first_name_(first_name),
      prefix_(first_name.full().substr(0, static_cast<std::size_t>(prefix_length_of(first_name)))) {
  const auto cut = [](const std::string& name) { return std::string(Name(name).trimmed()); };
  table_name_ = cut("All_" + prefix_ + ".txt");
  copy_name_ = cut("All_" + prefix_ + ".csv");
  picture_name_ = cut("All_" + prefix_ + ".svg");
}

SeriesNaming::SeriesNaming(std::vector<std::string> files, std::string prefix)
    : prefix_(std::move(prefix)), files_(std::move(files)) {
  table_name_ = "All_" + prefix_ + ".txt";
  copy_name_ = "All_" + prefix_ + ".csv";
  picture_name_ = "All_" + prefix_ + ".svg";
  for (const std::string& file : files_)
    label_width_ = std::max(label_width_, without_extension(base_name(file)).size());
}

void SeriesNaming::file(int i, FileNames& names) const {
  if (listed()) {
    names.data_name = files_[static_cast<std::size_t>(i - 1)];
    names.row_label = without_extension(base_name(names.data_name));
    return;
  }
  char text[Name::size() + kNumberDigits + kDataExtension.size()];
  prefix_.copy(text, prefix_.size());
  char* const number = text + prefix_.size();
  put_digits(number, static_cast<uint32_t>(i), kNumberDigits);
  kDataExtension.copy(number + kNumberDigits, kDataExtension.size());
  const std::size_t row_size = std::min(prefix_.size() + kNumberDigits, kLeastLabelWidth);
  names.row_label.assign(trim_trailing_blanks({text, row_size}));
  const std::size_t name_size =
      std::min(prefix_.size() + kNumberDigits + kDataExtension.size(), Name::size());
  names.data_name.assign(trim_trailing_blanks({text, name_size}));
}

std::string SeriesNaming::data_name(int i) const {
  if (listed()) return files_[static_cast<std::size_t>(i - 1)];
  FileNames names;
  file(i, names);
  return std::move(names.data_name);
}

}  // namespace tovel
