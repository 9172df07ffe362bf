// A first name through the naming rules: every derived name holds at most 32
// characters, the prefix is the first prefix_length characters of the name, the
// row label at most 10, and the dialogue's field of a data name begins with
// its prefix as shown.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/report.h"
#include "run/naming.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view given(reinterpret_cast<const char*>(data), size);
  const tovel::Name first_name(given);
  const tovel::SeriesNaming naming(first_name);
  if (naming.prefix_length() < 0 || naming.prefix_length() > 32) __builtin_trap();
  if (naming.prefix() !=
      first_name.full().substr(0, static_cast<std::size_t>(naming.prefix_length()))) {
    __builtin_trap();
  }
  for (const std::string* name :
       {&naming.table_name(), &naming.copy_name(), &naming.listing_pattern()}) {
    if (name->size() > 32) __builtin_trap();
  }
  for (const int i : {1, 2, 10, 999, 9999}) {
    const tovel::FileNames names = naming.file(i);
    if (names.data_name.size() > 32 || names.row_label.size() > 10) __builtin_trap();
    // The dialogue shows the name, control bytes as \xHH, from its prefix on.
    const std::string shown_prefix = tovel::shown_name(naming.prefix());
    if (tovel::name_field(names.data_name).substr(0, shown_prefix.size()) != shown_prefix)
      __builtin_trap();
  }
  return 0;
}
