#include "fields/number_field.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fields/real_field.h"
#include "g14_4_reference.h"

namespace tovel {
namespace {

std::string field(uint32_t bits, int digits) {
  char out[kWidestNumberField];
  NumberField(digits).write(std::bit_cast<float>(bits), out);
  return {out, static_cast<std::size_t>(digits) + 10};
}

// Expected texts, written out by hand from the field's rules.
TEST(NumberField, EdgeTable) {
  const struct {
    int digits;
    uint32_t bits;
    const char* text;
  } cases[] = {
      {9, 0x00000000, "     0.00000000    "}, {9, 0x80000000, "    -0.00000000    "},
      {9, 0x3F800000, "     1.00000000    "}, {9, 0x3DCCCCCD, "    0.100000001    "},
      {9, 0x3DCCCCCC, "    0.999999940E-01"}, {9, 0x4CEB79A3, "     123456792.    "},
      {9, 0x4E6E6B28, "    0.100000000E+10"}, {9, 0x7F7FFFFF, "    0.340282347E+39"},
      {9, 0x00000001, "    0.140129846E-44"}, {9, 0x80000001, "   -0.140129846E-44"},
      {9, 0xFF800000, "          -Infinity"}, {9, 0x7FC00000, "                NaN"},
      {5, 0x4640E600, "     12346.    "},     {5, 0x47F12000, "    0.12346E+06"},
      {6, 0xC2F6E979, "    -123.456    "},    {7, 0x3F7FFFFF, "     1.000000    "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(field(c.bits, c.digits), c.text) << c.digits << " digits, " << std::hex << c.bits;
}

// The patterns within a few ulps of `centre`, on both signs.
void near(uint32_t centre, std::vector<uint32_t>& patterns) {
  for (int64_t d = -8; d <= 8; ++d) {
    const auto bits = static_cast<uint32_t>(static_cast<int64_t>(centre & 0x7FFFFFFFu) + d);
    patterns.push_back(bits);
    patterns.push_back(bits | 0x80000000u);
  }
}

// At every number of digits, a sample of 2^20 patterns spread over every
// sign and exponent, and the patterns around each layout threshold, 0.1
// and 10^digits - 0.5, against the independent reference. At 9 digits every
// finite value's text reads back to the very float, by Tovel's reader and by
// strtof.
TEST(NumberField, EveryDigitsAgainstReference) {
  std::mt19937 generator(20261210);
  for (int digits = kLeastDigits; digits <= kMostDigits; ++digits) {
    std::vector<uint32_t> patterns;
    for (uint32_t high = 0; high < 512; ++high) {
      for (int i = 0; i < 2048; ++i)
        patterns.push_back(high << 23 | (static_cast<uint32_t>(generator()) & 0x7FFFFFu));
    }
    const detail::FieldThresholds& t =
        detail::kFieldThresholds[static_cast<std::size_t>(digits - kLeastDigits)];
    near(t.low, patterns);
    near(t.high, patterns);
    for (int i = 0; i < digits; ++i)
      near(t.steps[static_cast<std::size_t>(i)], patterns);
    near(std::bit_cast<uint32_t>(0.1f), patterns);
    near(std::bit_cast<uint32_t>(static_cast<float>(std::pow(10.0, digits) - 0.5)), patterns);
    int mismatches = 0;
    for (const uint32_t bits : patterns) {
      const float value = std::bit_cast<float>(bits);
      const std::string text = field(bits, digits);
      if (text != testing::reference_real_field(value, digits) && ++mismatches <= 10) {
        ADD_FAILURE() << digits << " digits, " << std::hex << bits << ": '" << text << "', not '"
                      << testing::reference_real_field(value, digits) << "'";
      }
      if (digits != kMostDigits || !std::isfinite(value)) continue;
      const std::optional<float> ours = decode_real_field(text);
      const float library = std::strtof(text.c_str(), nullptr);
      if ((!ours || std::bit_cast<uint32_t>(*ours) != bits ||
           std::bit_cast<uint32_t>(library) != bits) &&
          ++mismatches <= 10) {
        ADD_FAILURE() << std::hex << bits << ": '" << text << "' does not read back";
      }
    }
    EXPECT_EQ(mismatches, 0) << digits << " digits";
  }
}

}  // namespace
}  // namespace tovel
