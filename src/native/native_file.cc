#include "native/native_file.h"

#include <algorithm>
#include <array>

#include "base/byte_class.h"

namespace tovel {

bool has_text_extension(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
  const std::size_t point = base.rfind('.');
  if (point == std::string_view::npos || point == 0) return true;
  std::string extension(base.substr(point + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(), lower_case);
  constexpr std::array<std::string_view, 6> kText = {"dat", "txt", "csv", "tsv", "xy", "xye"};
  return std::find(kText.begin(), kText.end(), extension) != kText.end();
}

}  // namespace tovel
