#include "fields/shown_number.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "fields/number_field.h"

namespace tovel {
namespace {

std::string field_of(float value, int digits) {
  char out[kWidestNumberField];
  NumberField(digits).write(value, out);
  return {out, static_cast<std::size_t>(digits) + 10};
}

std::string shown(const std::string& field, char mark = '.') {
  char out[kLongestShownNumber];
  return {out, write_shown_number(field, mark, out)};
}

// Expected texts, written out by hand: the value the field shows, shortest.
TEST(ShownNumber, EdgeTable) {
  const struct {
    const char* field;
    char mark;
    const char* number;
  } cases[] = {
      {"     15.17    ", '.', "15.17"},
      {"     10.00    ", '.', "10"},
      {"     1000.    ", '.', "1000"},
      {"    0.1000    ", '.', "0.1"},
      {"     0.000    ", '.', "0"},
      {"    -0.000    ", '.', "-0"},
      {"    -2.500    ", '.', "-2.5"},
      {"    0.1235E+05", '.', "12350"},
      {"    0.1000E-04", '.', "1e-05"},
      {"    0.3403E+39", '.', "3.4028235e+38"},
      {"   -0.1401E-44", '.', "-1e-45"},
      {"      Infinity", '.', "Inf"},
      {"     -Infinity", '.', "-Inf"},
      {"           NaN", '.', "NaN"},
      {"     15.17    ", ',', "15,17"},
      {"   -0.3403E+39", ',', "-3,4028235e+38"},
      {"    0.1235E+05", ',', "12350"},
      {"     0.100000001    ", '.', "0.1"},
      {"     123456.    ", '.', "123456"},
      {"     100000.    ", '.', "1e+05"},
      {"     16777217.    ", '.', "16777216"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(shown(c.field, c.mark), c.number) << '"' << c.field << '"';
}

// The value a field shows, read by the standard library and written
// shortest by it: what write_shown_number promises, by other means.
std::string reference(const std::string& field) {
  const std::size_t first = field.find_first_not_of(' ');
  const std::string text = field.substr(first, field.find_last_not_of(' ') + 1 - first);
  float value = 0.0f;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{}) {
    value = std::copysign(std::numeric_limits<float>::max(), text[0] == '-' ? -1.0f : 1.0f);
  }
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  char out[32];
  return {out, std::to_chars(out, out + sizeof out, value).ptr};
}

// At every number of digits, a sample of patterns spread over every sign
// and exponent, the largest floats, and the fixed form's every text of four
// digits.
TEST(ShownNumber, AgreesWithTheStandardLibrary) {
  std::mt19937 generator(20261211);
  for (int digits = kLeastDigits; digits <= kMostDigits; ++digits) {
    for (int i = 0; i < (1 << 17); ++i) {
      const std::string field =
          field_of(std::bit_cast<float>(static_cast<uint32_t>(generator())), digits);
      ASSERT_EQ(shown(field), reference(field)) << '"' << field << '"';
    }
  }
  for (uint32_t bits = 0x7F7FF000; bits <= 0x7F7FFFFF; ++bits) {
    const std::string field = field_of(-std::bit_cast<float>(bits), kLeastDigits);
    ASSERT_EQ(shown(field), reference(field)) << '"' << field << '"';
  }
  for (int units = 0; units < 10000; ++units) {
    for (const float scale : {1.0f, 0.1f, 0.01f, 0.001f, 0.0001f, -0.01f}) {
      const std::string field = field_of(static_cast<float>(units) * scale, kLeastDigits);
      std::string number = reference(field);
      ASSERT_EQ(shown(field), number) << '"' << field << '"';
      std::replace(number.begin(), number.end(), '.', ',');
      ASSERT_EQ(shown(field, ','), number) << '"' << field << '"';
    }
  }
}

}  // namespace
}  // namespace tovel
