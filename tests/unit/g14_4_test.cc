#include "fields/g14_4.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "g14_4_reference.h"

namespace tovel {
namespace {

std::string g14(uint32_t bits) {
  const auto text = format_g14_4(std::bit_cast<float>(bits));
  return {text.data(), text.size()};
}

struct EdgeCase {
  uint32_t bits;
  const char* text;
};

// Expected texts, written out by hand from the field's rules; 3/64 and 1/64
// are ties at the fifth digit below L.
constexpr EdgeCase kEdgeCases[] = {
    {0x00000000, "     0.000    "}, {0x80000000, "    -0.000    "}, {0x3F800000, "     1.000    "},
    {0xBF800000, "    -1.000    "}, {0x3F000000, "    0.5000    "}, {0xBF000000, "   -0.5000    "},
    {0x3DCCCCCD, "    0.1000    "}, {0x3DFCD35B, "    0.1235    "}, {0x3DCCCA2D, "    0.9999E-01"},
    {0x3DCCCA2E, "    0.1000    "}, {0xBAA1BE2B, "   -0.1234E-02"}, {0x3F7FFCB8, "    0.9999    "},
    {0x3F7FFCB9, "     1.000    "}, {0x3F880000, "     1.062    "}, {0x40490FDB, "     3.142    "},
    {0x411FFDF3, "     9.999    "}, {0x411FFDF4, "     10.00    "}, {0xC2F6E979, "    -123.5    "},
    {0x4479FCCC, "     999.9    "}, {0x4479FCCD, "     1000.    "}, {0x449A5000, "     1234.    "},
    {0x449A7000, "     1236.    "}, {0x461C3DFF, "     9999.    "}, {0x461C3E00, "    0.1000E+05"},
    {0x4640E400, "    0.1234E+05"}, {0x46410C00, "    0.1236E+05"}, {0x47C34D80, "    0.1000E+06"},
    {0xC7C0E6B3, "   -0.9877E+05"}, {0x7F7FFFFF, "    0.3403E+39"}, {0x2EDBE6FF, "    0.1000E-09"},
    {0x00800000, "    0.1175E-37"}, {0x00000001, "    0.1401E-44"}, {0x80000001, "   -0.1401E-44"},
    {0x7F800000, "      Infinity"}, {0xFF800000, "     -Infinity"}, {0x7FC00000, "           NaN"},
    {0xFFC00000, "           NaN"}, {0x7F800001, "           NaN"}, {0xFFFFFFFF, "           NaN"},
    {0x41200000, "     10.00    "}, {0x42C80000, "     100.0    "}, {0x447A0000, "     1000.    "},
    {0x461C4000, "    0.1000E+05"}, {0xC61C3DFF, "    -9999.    "}, {0x3D400000, "    0.4688E-01"},
    {0xBD400000, "   -0.4688E-01"}, {0x3C800000, "    0.1562E-01"}, {0x30800000, "    0.9313E-09"},
};

TEST(FormatG14_4, EdgeTable) {
  for (const auto& c : kEdgeCases) {
    EXPECT_EQ(g14(c.bits), c.text) << std::hex << c.bits;
  }
}

TEST(FormatG14_4, ReferenceAgreesWithEdgeTable) {
  for (const auto& c : kEdgeCases) {
    EXPECT_EQ(testing::reference_g14_4(std::bit_cast<float>(c.bits)), c.text) << std::hex << c.bits;
  }
}

void expect_matches_reference(uint32_t bits) {
  ASSERT_EQ(g14(bits), testing::reference_g14_4(std::bit_cast<float>(bits))) << std::hex << bits;
}

// Every pattern within a few ulps of the layout thresholds and of each power
// of ten, on both signs.
TEST(FormatG14_4, NearThresholdsAndPowersOfTen) {
  std::vector<uint32_t> centres = {0x3851B717, 0x3F7FFCB9, 0x3DCCCA2E, 0x411FFDF4,
                                   0x42C7FD71, 0x4479FCCD, 0x461C3E00};
  for (int p = -45; p <= 38; ++p) {
    centres.push_back(
        std::bit_cast<uint32_t>(std::strtof(("1e" + std::to_string(p)).c_str(), nullptr)));
    // 9.9995 × 10^p: where four-digit rounding carries into the next decade
    centres.push_back(
        std::bit_cast<uint32_t>(std::strtof(("9.9995e" + std::to_string(p)).c_str(), nullptr)));
  }
  for (const uint32_t centre : centres) {
    for (int64_t d = -8; d <= 8; ++d) {
      const auto bits = static_cast<uint32_t>(static_cast<int64_t>(centre) + d);
      expect_matches_reference(bits);
      expect_matches_reference(bits | 0x80000000u);
    }
  }
}

TEST(FormatG14_4, SubnormalsAndSmallestNormals) {
  for (uint32_t bits = 0; bits < 20000; ++bits)
    expect_matches_reference(bits);
  for (uint32_t bits = 0x007FFF00; bits < 0x00800100; ++bits)
    expect_matches_reference(bits);
}

TEST(FormatG14_4, RandomPatterns) {
  std::mt19937 generator(20261208);
  for (int i = 0; i < 2'000'000; ++i)
    expect_matches_reference(static_cast<uint32_t>(generator()));
}

// Within the fixed form, all exact half-way cases at each number of decimals.
TEST(FormatG14_4, FixedFormTies) {
  for (const float step : {0.0001f, 0.001f, 0.01f, 0.1f, 1.0f}) {
    for (int k = 1000; k < 10000; k += 7) {
      const float tie = (static_cast<float>(k) + 0.5f) * step;
      expect_matches_reference(std::bit_cast<uint32_t>(tie));
    }
  }
}

}  // namespace
}  // namespace tovel
