#include "run/listed_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "base/descriptor.h"
#include "base/report.h"

namespace tovel {
namespace {

// The file's identity, or none with errno set.
std::optional<std::pair<dev_t, ino_t>> identity(const std::string& name) {
  struct stat info {};
  if (!names_a_path(name)) {
    errno = EINVAL;
    return std::nullopt;
  }
  if (::stat(name.c_str(), &info) != 0) return std::nullopt;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return std::nullopt;
  }
  return std::pair{info.st_dev, info.st_ino};
}

}  // namespace

std::string refusal_of_listed_files(const SeriesNaming& naming, int files, bool with_picture) {
  std::vector<std::pair<dev_t, ino_t>> seen;
  for (int i = 1; i <= files; ++i) {
    const std::string name = naming.file(i).data_name;
    const auto file = identity(name);
    if (!file || ::access(name.c_str(), R_OK) != 0) {
      return shown_name(name) + ": " + error_text(errno);
    }
    for (const auto& earlier : seen) {
      if (earlier == *file) return shown_name(name) + " is given twice";
    }
    seen.push_back(*file);
  }
  const std::pair<const std::string*, const char*> outputs[] = {
      {&naming.table_name(), "table"},
      {&naming.copy_name(), "copy"},
      {&naming.picture_name(), "picture"}};
  for (const auto& [output, what] : outputs) {
    if (!with_picture && std::string_view(what) == "picture") continue;
    const auto file = identity(*output);
    for (const auto& data : seen) {
      if (file && data == *file) {
        return shown_name(*output) + " is the " + what + " this run writes";
      }
    }
  }
  return "";
}

std::string order_warning(const SeriesNaming& naming, int files) {
  for (int i = 2; i <= files; ++i) {
    const std::string earlier = naming.file(i - 1).data_name, later = naming.file(i).data_name;
    const RunningNumber a = running_number(earlier), b = running_number(later);
    if (a.digits == 0 || b.digits == 0 || a.before != b.before || a.after != b.after) continue;
    if (b.value > a.value) continue;
    return shown_name(earlier) + " comes before " + shown_name(later) +
           "; files are collated in the order given (ls -v sorts them by number)";
  }
  return "";
}

}  // namespace tovel
