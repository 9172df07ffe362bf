#include "plot/axis.h"

#include <cmath>
#include <cstdlib>

namespace tovel {
namespace {

constexpr int kTargetSteps = 6;
// The margin on each side, as a share of the values' range: more than the
// half-width of the thickest line or dot over the frame's smaller side.
constexpr double kMargin = 0.04;

double power_of_ten(int exponent) {
  return std::pow(10.0, exponent);
}

// `digits` × 10^exponent in plain decimal text, without trailing zeros
// after a point.
std::string plain(std::string digits, int exponent) {
  if (exponent >= 0) return digits + std::string(static_cast<std::size_t>(exponent), '0');
  const auto places = static_cast<std::size_t>(-exponent);
  if (digits.size() <= places) digits.insert(0, places - digits.size() + 1, '0');
  digits.insert(digits.size() - places, ".");
  while (digits.back() == '0')
    digits.pop_back();
  if (digits.back() == '.') digits.pop_back();
  return digits;
}

// `digits` × 10^exponent as d.ddd E±ee.
std::string scientific(const std::string& digits, int exponent) {
  std::string mantissa = digits.substr(0, 1);
  std::string rest = digits.substr(1);
  while (!rest.empty() && rest.back() == '0')
    rest.pop_back();
  if (!rest.empty()) mantissa += "." + rest;
  const int power = exponent + static_cast<int>(digits.size()) - 1;
  std::string text = std::to_string(std::abs(power));
  if (text.size() < 2) text.insert(0, "0");
  return mantissa + "E" + (power < 0 ? "-" : "+") + text;
}

}  // namespace

double Axis::value(int i) const {
  return static_cast<double>((first + i) * digit) * power_of_ten(exponent);
}

std::string Axis::label(int i) const {
  const long long units = (first + i) * digit;
  if (units == 0) return "0";
  const std::string digits = std::to_string(std::llabs(units));
  const int magnitude = exponent + static_cast<int>(digits.size()) - 1;
  const std::string text =
      magnitude >= -5 && magnitude < 7 ? plain(digits, exponent) : scientific(digits, exponent);
  return units < 0 ? "-" + text : text;
}

Axis axis_for(double low, double high) {
  if (low == high) {
    const double pad = low == 0 ? 1.0 : std::fabs(low) / 10;
    low -= pad;
    high += pad;
  }
  const double margin = (high - low) * kMargin;
  Axis axis;
  axis.low = low - margin;
  axis.high = high + margin;
  const double raw = (high - low) / kTargetSteps;
  axis.exponent = static_cast<int>(std::floor(std::log10(raw)));
  const double scaled = raw / power_of_ten(axis.exponent);
  axis.digit = scaled <= 1 ? 1 : scaled <= 2 ? 2 : scaled <= 5 ? 5 : 10;
  if (axis.digit == 10) {
    axis.digit = 1;
    ++axis.exponent;
  }
  const double step = axis.digit * power_of_ten(axis.exponent);
  axis.first = static_cast<long long>(std::ceil(axis.low / step));
  const auto last = static_cast<long long>(std::floor(axis.high / step));
  axis.ticks = static_cast<int>(last - axis.first) + 1;
  return axis;
}

}  // namespace tovel
