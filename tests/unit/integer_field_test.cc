#include "fields/integer_field.h"

#include <gtest/gtest.h>

#include <string_view>

#include "base/line_taker.h"

namespace tovel {
namespace {

struct Case {
  std::string_view field;
  bool ok;
  int32_t value;
};

// Field texts as take_line or take_stored_field give them (0 to 5 columns).
constexpr Case kCases[] = {
    {"42", true, 42},
    {"   42", true, 42},
    {"42   ", true, 42},
    {"   12", true, 12},
    {"12345", true, 12345},
    {"4 2", true, 42},
    {"-42", true, -42},
    {"+7", true, 7},
    {"- 7", true, -7},
    {"", true, 0},
    {"     ", true, 0},
    {"- ", true, 0},
    {"-9999", true, -9999},
    {"99999", true, 99999},
    {"-", false, 0},
    {"+", false, 0},
    {"1.0", false, 0},
    {"1e3", false, 0},
    {"\t5", false, 0},
    {"5-", false, 0},
    {"3,4", false, 0},
    {"abc", false, 0},
    {"--1", false, 0},
    {"+-1", false, 0},
    {std::string_view("1\0", 2), false, 0},
};

TEST(DecodeIntegerField, Table) {
  for (const auto& c : kCases) {
    const std::optional<int32_t> r = decode_integer_field(c.field);
    EXPECT_EQ(r.has_value(), c.ok) << '"' << c.field << '"';
    EXPECT_EQ(r.value_or(0), c.value) << '"' << c.field << '"';
  }
}

// The second command-line argument, read through the stored-text field.
TEST(DecodeIntegerField, StoredArgument) {
  const Case cases[] = {{"7", true, 7},    {"  7", true, 7},    {"1234567", true, 12345},
                        {"", true, 0},     {"-", false, 0},     {"3,4", false, 0},
                        {"abc", false, 0}, {"12   ", true, 12}, {"- ", false, 0}};
  for (const auto& c : cases) {
    const std::optional<int32_t> r = decode_integer_field(take_stored_field(c.field, 5));
    EXPECT_EQ(r.has_value(), c.ok) << '"' << c.field << '"';
    EXPECT_EQ(r.value_or(0), c.value) << '"' << c.field << '"';
  }
}

}  // namespace
}  // namespace tovel
