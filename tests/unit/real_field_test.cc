#include "fields/real_field.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"
#include "real_field_reference.h"

namespace tovel {
namespace {

uint32_t bits_of(float f) {
  return std::bit_cast<uint32_t>(f);
}

struct Accepted {
  const char* field;
  uint32_t bits;
};

constexpr Accepted kAccepted[] = {
    {"1", 0x3F800000},
    {"123", 0x42F60000},
    {"1.5", 0x3FC00000},
    {"-2.25", 0xC0100000},
    {"+3", 0x40400000},
    {".5", 0x3F000000},
    {"5.", 0x40A00000},
    {".", 0x00000000},
    {"-.", 0x80000000},
    {"-0", 0x80000000},
    {"-", 0x00000000},
    {"+", 0x00000000},
    {"1e3", 0x447A0000},
    {"1E3", 0x447A0000},
    {"1d3", 0x447A0000},
    {"1D3", 0x447A0000},
    {"1q3", 0x447A0000},
    {"1Q3", 0x447A0000},
    {"1.5e-3", 0x3AC49BA6},
    {"1.5-3", 0x3AC49BA6},
    {"2+2", 0x43480000},
    {"e5", 0x00000000},
    {"-e5", 0x80000000},
    {"0.1", 0x3DCCCCCD},
    {"16777217", 0x4B800000},
    {"12345678901234", 0x5533A73D},
    {"12345678901234567", 0x5A2F7151},
    {"1.234567890123E-05", 0x374F204A},
    {"1.23456789012E-5", 0x374F204A},
    {"1.23456789012-5", 0x374F204A},
    {"1e38", 0x7E967699},
    {"1e39", 0x7F800000},
    {"-1e39", 0xFF800000},
    {"1e9999", 0x7F800000},
    {"1e-40", 0x000116C2},
    {"1e-45", 0x00000001},
    {"1e-46", 0x00000000},
    {"-1e-46", 0x80000000},
    {"1e-9999", 0x00000000},
    {"0e9999", 0x00000000},
    {"inf", 0x7F800000},
    {"INF", 0x7F800000},
    {"Inf", 0x7F800000},
    {"infinity", 0x7F800000},
    {"Infinity", 0x7F800000},
    {"-inf", 0xFF800000},
    {"+inf", 0x7F800000},
    {"nan", 0x7FC00000},
    {"NaN", 0x7FC00000},
    {"NAN", 0x7FC00000},
    {"nan(1)", 0x7FC00000},
    {"-nan", 0xFFC00000},
    {"nan(abc)x", 0x7FC00000},
    {"inf x", 0x7F800000},
    {"- inf", 0xFF800000},
    {" 1 2 . 5 ", 0x41480000},
    {"1 e 2", 0x42C80000},
    {"1e- 2", 0x3C23D70A},
    // Whole tokens of any length, as writers produce them: numpy's %.18e,
    // %.17g, R's 15 digits, %.10f of a large value, 16-digit integers.
    {"2.500000000000000000e-01", 0x3E800000},
    {"2.500000000000000052e-03", 0x3B23D70A},
    {"6.0221407599999999e+23", 0x66FF0C2E},
    {"1.23456789012346e-05", 0x374F204A},
    {"-602214076000000000000000.0000000000", 0xE6FF0C2E},
    {"1234567890123456", 0x588C5AA8},
    {"-0.000012345678", 0xB74F2049},
    {"1.0000000596046447753906250001", 0x3F800001},   // just above a half-way point
    {"1.00000005960464477539062499999", 0x3F800000},  // just below it
    {"1.00000005960464477539062500000", 0x3F800000},  // on it: to even
    {"1e0000000000000000000000005", 0x47C35000},
    {"7.006492e-46", 0x00000000},  // just below half the smallest subnormal
    {"7.006493e-46", 0x00000001},  // just above it
    {"3.4028235e38", 0x7F7FFFFF},
    {"3.40282357e38", 0x7F800000},
    {"1.17549435e-38", 0x00800000},
    {"--1", 0x80000000},  // -0 × 10^-1
    {"00000000000001", 0x3F800000},
};

TEST(DecodeRealField, AcceptedFields) {
  for (const auto& c : kAccepted) {
    const std::optional<float> r = decode_real_field(c.field);
    EXPECT_TRUE(r.has_value()) << c.field;
    EXPECT_EQ(bits_of(r.value_or(0.0f)), c.bits) << c.field;
  }
}

// Which values lie beyond single precision, by every path of the
// conversion: the fast one, the general one (the top binade, long digit
// strings) and the exponents beyond the table.
TEST(DecodeRealValue, OutOfRange) {
  const struct {
    std::string field;
    OutOfRange expected;
  } cases[] = {
      {"1e39", OutOfRange::too_large},
      {"-1e39", OutOfRange::too_large},
      {"3.40282357e38", OutOfRange::too_large},
      {"1" + std::string(41, '0'), OutOfRange::too_large},
      {"3.4028235e38", OutOfRange::no},
      {"2e38", OutOfRange::no},
      {"1.5e38", OutOfRange::no},
      {"inf", OutOfRange::no},
      {"-infinity", OutOfRange::no},
      {"nan", OutOfRange::no},
      {"1e-46", OutOfRange::too_small},
      {"-7.006492e-46", OutOfRange::too_small},
      {"1e-9999", OutOfRange::too_small},
      {"0." + std::string(50, '0') + "1", OutOfRange::too_small},
      {"7.006493e-46", OutOfRange::no},
      {"1e-40", OutOfRange::no},
      {"0e9999", OutOfRange::no},
      {"0", OutOfRange::no},
      {"-0.0", OutOfRange::no},
  };
  for (const auto& c : cases) {
    const std::optional<Binary32> r = decode_real_value(c.field);
    ASSERT_TRUE(r.has_value()) << c.field;
    EXPECT_EQ(r->out_of_range, c.expected) << c.field;
  }
}

constexpr const char* kRejected[] = {
    "12345678901234abc",
    "1.00000000000000e",
    "1e0000000000000000000010000",
    "2:5",
    "1e10000",
    "0e10000",
    "1e99999",
    "1e",
    "1e+",
    "1+",
    "1.2.3",
    "1x",
    "0x1A",
    "n/a",
    "inf(1)",
    "infinite",
    "in",
    "Time",
    "5mV",
    "\xEF\xBB\xBF\x31",  // a byte-order mark before 1
    "1,5",
    "1\t5",
    "nan(",
    "nan)",
    "nan)(",
    "nan(1)(2)",
    "nan( 1)",
    "nan(1",
    "i-nf",
    "1e5.5",
    "+-",
    "1e--5",
};

TEST(DecodeRealField, RejectedFields) {
  for (const char* field : kRejected)
    EXPECT_FALSE(decode_real_field(field).has_value()) << '"' << field << '"';
}

// Ties between neighbouring floats go to the even one, also when the
// decimal exponent brings the digits there.
TEST(DecodeRealField, TiesToEven) {
  const Accepted ties[] = {
      {"16777219", 0x4B800002},  // 2^24 + 3: up to the even neighbour
      {"16777221", 0x4B800002},  // 2^24 + 5: down to the even neighbour
      {"33554434", 0x4C000000},  // 2^25 + 2
      {"33554438", 0x4C000002},  // 2^25 + 6
      {"3355443.8e1", 0x4C000002}, {"335544380000-4", 0x4C000002},
      {"8388608.5", 0x4B000000},  // half-way with one decimal: down to even
      {"8388609.5", 0x4B000002},  // up to even
      {"1677721.75", 0x49CCCCCE},  {"0.000000001", 0x3089705F},
  };
  for (const auto& c : ties)
    EXPECT_EQ(bits_of(decode_real_field(c.field).value_or(0.0f)), c.bits) << c.field;
}

// Random decimal texts of up to 40 digits, compared with the C library's
// correctly rounded conversion; a leading blank takes the text to the other
// form of the same field.
TEST(DecodeRealField, AgreesWithCorrectlyRoundedLibraryConversion) {
  std::mt19937_64 generator(42);
  for (int i = 0; i < 300000; ++i) {
    const int digit_count = 1 + static_cast<int>(generator() % (i % 4 == 0 ? 40 : 9));
    std::string mantissa;
    for (int d = 0; d < digit_count; ++d)
      mantissa += static_cast<char>('0' + generator() % 10);
    const int point = static_cast<int>(generator() % static_cast<uint64_t>(digit_count + 1));
    mantissa.insert(static_cast<std::size_t>(point), ".");
    const int exponent = static_cast<int>(generator() % 120) - 75;
    const std::string text = mantissa + "e" + std::to_string(exponent);
    const std::optional<float> r = decode_real_field(text);
    ASSERT_TRUE(r.has_value()) << text;
    ASSERT_EQ(bits_of(r.value_or(0.0f)), bits_of(std::strtof(text.c_str(), nullptr))) << text;
    const std::optional<float> blank_first = decode_real_field(" " + text);
    ASSERT_TRUE(blank_first.has_value()) << text;
    ASSERT_EQ(bits_of(blank_first.value_or(0.0f)), bits_of(r.value_or(0.0f))) << text;
  }
}

// The decimal texts of half-way points between neighbouring floats, with
// every digit they have, and texts a unit of the 120th digit below and
// above them (and of the 130th, past the digits converted one by one):
// only exact arithmetic on all the digits rounds them right.
TEST(DecodeRealField, LongTextsAroundHalfWayPoints) {
  std::mt19937 generator(17);
  for (int i = 0; i < 20000; ++i) {
    const auto low_bits = static_cast<uint32_t>(generator() % 0x7F7FFFFFu);
    const double middle = (static_cast<double>(std::bit_cast<float>(low_bits)) +
                           static_cast<double>(std::bit_cast<float>(low_bits + 1))) /
                          2;  // exact
    char exact[160];
    std::snprintf(exact, sizeof exact, "%.119e", middle);  // every digit: at most 113
    const std::string text = exact;
    const std::size_t e = text.find('e');
    std::string below = text.substr(0, e);  // one unit of its last digit less
    for (std::size_t k = below.size() - 1;; --k) {
      if (below[k] == '.') continue;
      if (below[k] != '0') {
        --below[k];
        break;
      }
      below[k] = '9';
    }
    const std::string exponent = text.substr(e);
    const std::string cases[] = {text, below + exponent, text.substr(0, e - 1) + "1" + exponent,
                                 text.substr(0, e) + "0000000001" + exponent};
    for (const std::string& c : cases) {
      const std::optional<float> r = decode_real_field(c);
      ASSERT_TRUE(r.has_value()) << c;
      ASSERT_EQ(bits_of(r.value_or(0.0f)), bits_of(std::strtof(c.c_str(), nullptr))) << c;
    }
  }
}

float converted(uint64_t digits, int exponent) {
  Decimal decimal;
  decimal.digits = digits;
  decimal.exponent = exponent;
  decimal.count = 19;
  return binary32_from_decimal(decimal);
}

// Exact half-way points between neighbouring floats, written with 0 to 10
// decimal places: each must reach the exact path and round to even.
TEST(Binary32FromDecimal, HalfWayPointsWithDecimalPlaces) {
  std::mt19937_64 generator(3);
  for (int places = 0; places <= 10; ++places) {
    // Floats in [2^(24-places), 2^(25-places)) are spaced 2^(1-places), so
    // their midpoints are odd multiples of 2^-places = 5^places / 10^places.
    uint64_t five_to_places = 1;
    for (int i = 0; i < places; ++i)
      five_to_places *= 5;
    for (int i = 0; i < 2000; ++i) {
      const uint64_t odd = (uint64_t{1} << 24) + 2 * (generator() % (uint64_t{1} << 23)) + 1;
      const uint64_t digits = odd * five_to_places;
      std::string text = std::to_string(digits);
      text.insert(text.size() - static_cast<std::size_t>(places), ".");
      ASSERT_EQ(bits_of(converted(digits, -places)), bits_of(std::strtof(text.c_str(), nullptr)))
          << text;
    }
  }
}

// Values of fewer than 2^24 digit units with 0 to 10 decimal places, the
// usual data values, against the floating-point unit's division of the two
// exact operands, which rounds correctly to nearest: the first and last
// 2^12 and a sample between; tovel_short_values_exhaustive checks them all.
TEST(Binary32FromDecimal, ShortValuesSampled) {
  ASSERT_EQ(std::fegetround(), FE_TONEAREST);
  std::mt19937 generator(24);
  constexpr uint32_t kUnits = 1u << 24, kEdge = 1u << 12;
  float divisor = 1.0f;
  for (int places = 0; places <= 10; ++places, divisor *= 10.0f) {
    std::vector<uint32_t> sample;
    for (uint32_t d = 0; d < kEdge; ++d)
      sample.insert(sample.end(), {d, kUnits - 1 - d, static_cast<uint32_t>(generator() % kUnits)});
    for (const uint32_t digits : sample) {
      const float expected = static_cast<float>(digits) / divisor;
      ASSERT_EQ(bits_of(converted(digits, -places)), bits_of(expected)) << digits << "e-" << places;
    }
  }
}

// The result is the same whatever rounding mode the floating-point unit is in.
TEST(DecodeRealField, IndependentOfRoundingMode) {
  const char* fields[] = {"0.1",   "1.5e-3",       "16777217",     "1e38",       "3.4028235e38",
                          "1e-40", "7.006493e-46", "-2.718281828", "123456.789", "9.99999e-39"};
  for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    ASSERT_EQ(std::fesetround(mode), 0);
    for (const char* f : fields) {
      const uint32_t got = bits_of(decode_real_field(f).value_or(0.0f));
      std::fesetround(FE_TONEAREST);
      const uint32_t nearest = bits_of(std::strtof(f, nullptr));
      std::fesetround(mode);
      EXPECT_EQ(got, nearest) << f << " in mode " << mode;
    }
  }
  std::fesetround(FE_TONEAREST);
}

}  // namespace
}  // namespace tovel

namespace tovel {
namespace {

// Random fields over the characters that matter to the rules, decoded here
// and by the independent reference: same bits, or both rejected.
TEST(DecodeRealField, AgreesWithIndependentReference) {
  static constexpr char kAlphabet[] = "0123456789012345.+-eEdDqQ  inafINFty()x,:";
  std::mt19937 generator(7);
  for (int i = 0; i < 400000; ++i) {
    std::string field(generator() % 30, ' ');
    for (char& c : field)
      c = kAlphabet[generator() % (sizeof kAlphabet - 1)];
    const std::optional<float> got = decode_real_field(field);
    const auto expected = testing::reference_real_field_bits(field);
    ASSERT_EQ(got.has_value(), expected.has_value()) << '"' << field << '"';
    ASSERT_EQ(got ? bits_of(*got) : 0u, expected.value_or(0u)) << '"' << field << '"';
  }
}

}  // namespace
}  // namespace tovel
