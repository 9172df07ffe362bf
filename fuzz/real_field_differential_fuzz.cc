// decode_real_field against an independent reference: the two agree bit for
// bit, or both reject the field.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "fields/real_field.h"
#include "real_field_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<float> got = tovel::decode_real_field(text);
  const auto expected = tovel::testing::reference_real_field_bits(text);
  if (got.has_value() != expected.has_value()) std::abort();
  if (got) {
    uint32_t bits;
    __builtin_memcpy(&bits, &*got, 4);
    if (bits != *expected) std::abort();
  }
  return 0;
}
