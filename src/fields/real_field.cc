#include "fields/real_field.h"

#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"

namespace tovel {

RealFieldResult decode_real_field(std::string_view field) {
  Decimal decimal;
  if (!scan_real_field(field, decimal)) return {0.0f, false};
  return {binary32_from_decimal(decimal), true};
}

}  // namespace tovel
