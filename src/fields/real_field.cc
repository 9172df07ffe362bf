#include "fields/real_field.h"

#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"

namespace tovel {

std::optional<float> decode_real_field(std::string_view field) {
  Decimal decimal;
  if (!scan_real_field(field, decimal)) return std::nullopt;
  return binary32_from_decimal(decimal);
}

std::optional<Binary32> decode_real_value(std::string_view field) {
  Decimal decimal;
  if (!scan_real_field(field, decimal)) return std::nullopt;
  return binary32_and_range(decimal);
}

}  // namespace tovel
