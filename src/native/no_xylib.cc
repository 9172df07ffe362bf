// Instrument files in a build without xylib: none is read.
#include "native/native_file.h"

namespace tovel {

bool native_formats_built_in() {
  return false;
}

std::string native_formats_version() {
  return "";
}

std::vector<NativeFormat> native_formats() {
  return {};
}

bool is_native_format(std::string_view) {
  return false;
}

NativeText read_native_file(const std::string& name, const std::string&, int, const LineRules&) {
  NativeText unread;
  unread.failure = Failure{.file = name,
                           .what = std::string(kTextOnlyBuild),
                           .message = "Cannot read file '" + shown_name(name) + "'"};
  return unread;
}

}  // namespace tovel
