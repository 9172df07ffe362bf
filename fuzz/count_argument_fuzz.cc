// The second command-line argument: stored in a 40-character field, read as
// an I5 integer field from its first five columns.
#include <cstdint>
#include <string_view>

#include "base/fixed_text.h"
#include "base/input_stream.h"
#include "fields/integer_field.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view argument(reinterpret_cast<const char*>(data), size);
  const tovel::FixedText<40> int_file(argument);
  const std::string_view field =
      tovel::take_stored_field(int_file.full(), tovel::kIntegerFieldWidth);
  if (field.size() > tovel::kIntegerFieldWidth) __builtin_trap();
  const tovel::IntegerFieldResult r = tovel::decode_integer_field(field);
  if (r.ok && (r.value < -9999 || r.value > 99999)) __builtin_trap();
  if (!r.ok && r.value != 0) __builtin_trap();
  return 0;
}
