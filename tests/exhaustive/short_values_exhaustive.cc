// Converts every value of fewer than 2^24 digit units with 0 to 10 decimal
// places, the usual data values, and compares each with the floating-point
// unit's division of the two exact operands, which rounds correctly to
// nearest. Prints the mismatches of each count of places; exits 1 if any.
#include <bit>
#include <cfenv>
#include <cstdint>
#include <cstdio>

#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"

namespace {

float converted(uint64_t digits, int exponent) {
  tovel::Decimal decimal;
  decimal.digits = digits;
  decimal.exponent = exponent;
  decimal.count = 19;
  return tovel::binary32_from_decimal(decimal);
}

}  // namespace

int main() {
  if (std::fegetround() != FE_TONEAREST) return 2;
  bool all_equal = true;
  float divisor = 1.0f;
  for (int places = 0; places <= 10; ++places, divisor *= 10.0f) {
    uint32_t mismatches = 0;
    uint32_t first = 0;
    for (uint32_t digits = 0; digits < (1u << 24); ++digits) {
      const float expected = static_cast<float>(digits) / divisor;
      if (std::bit_cast<uint32_t>(converted(digits, -places)) !=
              std::bit_cast<uint32_t>(expected) &&
          mismatches++ == 0) {
        first = digits;
      }
    }
    std::printf("%d places: %u mismatches", places, mismatches);
    if (mismatches != 0) std::printf(", the first %ue-%d", first, places);
    std::printf("\n");
    all_equal = all_equal && mismatches == 0;
  }
  return all_equal ? 0 : 1;
}
