#include "run/hints.h"

#include <dirent.h>

#include <algorithm>
#include <functional>

#include "base/byte_class.h"
#include "base/descriptor.h"
#include "base/report.h"
#include "output/shell_commands.h"

namespace tovel {
namespace {

// Calls `look` with each name in `directory` until it returns true.
void look_through_directory(const std::function<bool(std::string_view)>& look,
                            const std::string& directory = ".") {
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (look(entry->d_name)) break;
  }
  ::closedir(dir);
}

std::string data_name(const SeriesNaming& naming, int i) {
  return naming.data_name(i);
}

}  // namespace

std::string namesake_in_other_case(std::string_view name) {
  std::string found;
  look_through_directory([&](std::string_view other) {
    if (other.size() == name.size() && other != name &&
        std::equal(other.begin(), other.end(), name.begin(),
                   [](char a, char b) { return lower_case(a) == lower_case(b); })) {
      found = other;
    }
    return !found.empty();
  });
  return found;
}

std::string hint_for_missing_first_file(const SeriesNaming& naming) {
  const std::string prefix(naming.prefix());
  const std::string first = series_file_name(prefix, 1);
  const std::string extension(kDataExtension);
  for (const char* digits : {"001", "00001"}) {
    if (file_exists(prefix + digits + extension)) {
      return "found " + shown_name(prefix + digits + extension) +
             "; data files are numbered with four digits, from " + shown_name(first);
    }
  }
  if (const std::string zeroth = series_file_name(prefix, 0); file_exists(zeroth)) {
    return "found " + shown_name(zeroth) + "; a series is numbered from 0001";
  }
  if (first.size() > Name::size() && file_exists(first)) {
    const std::size_t longest_prefix = Name::size() - (first.size() - prefix.size());
    return "found " + shown_name(first) + ", a name of " + std::to_string(first.size()) +
           " characters; names are cut at " + std::to_string(Name::size()) +
           ", so a prefix may have at most " + std::to_string(longest_prefix);
  }
  return "";
}

std::string hint_for_missing_file(const SeriesNaming& naming, int missing) {
  int last = 0;
  look_through_directory([&](std::string_view name) {
    last = std::max(last, series_file_number(name, naming.prefix()));
    return false;
  });
  const std::string first = shown_name(data_name(naming, 1));
  if (last > missing) {
    return shown_name(data_name(naming, missing)) + " is missing, though the series goes on to " +
           shown_name(data_name(naming, last));
  }
  std::string words = missing == 2
                          ? "the series has 1 file, " + first
                          : "the series has " + std::to_string(missing - 1) + " files, " + first +
                                " to " + shown_name(data_name(naming, missing - 1));
  const std::string zeroth = series_file_name(naming.prefix(), 0);
  if (file_exists(zeroth))
    words += "; " + shown_name(zeroth) + " is never read: a series is numbered from 0001";
  return words;
}

std::string hint_for_table_elsewhere(const SeriesNaming& naming) {
  const std::string_view prefix = naming.prefix();
  const std::size_t slash = prefix.rfind('/');
  if (slash == std::string_view::npos) return "";
  const std::string directory(slash == 0 ? "/" : prefix.substr(0, slash));
  return "run it in the data's directory, or give -C " + shown_name(shell_word(directory));
}

std::string hint_for_named_files(const SeriesNaming& naming) {
  const std::string given(naming.first_name());
  if (!file_exists(given)) return "";
  const std::size_t slash = given.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : given.substr(0, slash + 1);
  const RunningNumber series = running_number(std::string_view(given).substr(directory.size()));
  if (series.digits == 0) return "";
  struct Found {
    unsigned long long number;
    std::string name;
  };
  Found first{~0ULL, ""}, last{0, ""};
  int count = 0;
  bool one_width = true;
  look_through_directory(
      [&](std::string_view name) {
        const RunningNumber number = running_number(name);
        if (number.digits == 0 || number.before != series.before || number.after != series.after) {
          return false;
        }
        ++count;
        one_width = one_width && number.digits == series.digits;
        if (number.value < first.number) first = {number.value, std::string(name)};
        if (number.value >= last.number) last = {number.value, std::string(name)};
        return false;
      },
      directory.empty() ? "." : directory);
  if (count < 2) return "";
  // The names' own characters quoted, so that the command runs as shown;
  // the * left bare, for the shell to expand.
  const std::string pattern =
      shell_word(directory + std::string(series.before)) + "*" + shell_word(series.after);
  return "found " + shown_name(directory + first.name) + " to " +
         shown_name(directory + last.name) + "; tovel --files " +
         shown_name(one_width ? pattern : "$(ls -v " + pattern + ")") + " collates them";
}

std::string zeroth_file_warning(const SeriesNaming& naming) {
  const std::string zeroth = series_file_name(naming.prefix(), 0);
  if (zeroth.size() > Name::size() || !file_exists(zeroth)) return "";
  return shown_name(zeroth) + " is not collated; a series is numbered from 0001";
}

std::string shared_labels_warning(const SeriesNaming& naming, int files) {
  // Up to 6 characters of prefix, the label holds the whole number.
  if (naming.prefix_length() + static_cast<int>(kNumberDigits) <=
      static_cast<int>(kLeastLabelWidth)) {
    return "";
  }
  const std::string label = naming.file(1).row_label;
  int last = 1;
  while (last < files && naming.file(last + 1).row_label == label)
    ++last;
  if (last == 1) return "";
  return "rows share labels: " + shown_name(label) + " stands for " +
         shown_name(data_name(naming, 1)) + " to " + shown_name(data_name(naming, last)) +
         "; row labels hold " + std::to_string(kLeastLabelWidth) +
         " characters, and --files labels rows by whole names";
}

}  // namespace tovel
