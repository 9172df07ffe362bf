#include "g14_4_reference.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tovel::testing {
namespace {

// The layout thresholds of the field of `digits` digits, derived at run
// time from their definitions.
struct Thresholds {
  float scale;  // 10^digits
  float l;
  std::vector<float> steps;  // T0, T1, ...
};

Thresholds derive_thresholds(int digits) {
  volatile float half = 0.5f;  // keep the derivation a run-time computation
  Thresholds t{};
  t.scale = 1.0f;
  for (int i = 0; i < digits; ++i)
    t.scale *= 10.0f;
  const float r = half / t.scale;
  const float t0 = 1.0f - r;
  t.l = static_cast<float>(static_cast<double>(t0) * 0.1);
  float power = 1.0f;
  for (int i = 0; i < digits; ++i, power *= 10.0f)
    t.steps.push_back(power * t0);
  return t;
}

// Rounds the digit string `digits` to its first `keep` digits, half to even,
// judging by every digit after them. Returns true when the carry ran out of
// the front (all kept digits were 9), leaving "1000…" in `digits`.
bool round_digits(std::string& digits, std::size_t keep) {
  const std::string rest = digits.substr(keep);
  digits.resize(keep);
  bool up = false;
  if (!rest.empty() && rest[0] >= '5') {
    const bool exactly_half = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
    const bool last_odd = keep > 0 && (digits[keep - 1] - '0') % 2 == 1;
    up = !exactly_half || last_odd;
  }
  if (!up) return false;
  for (std::size_t i = keep; i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  return true;
}

std::string fixed_form(double magnitude, bool negative, int digits_wanted, int decimals) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.60f", magnitude);
  const std::string text = buf;
  const std::size_t point = text.find('.');
  std::string digits = text.substr(0, point) + text.substr(point + 1);
  const std::size_t integer_count = point;
  const bool grew = round_digits(digits, integer_count + static_cast<std::size_t>(decimals));
  std::string integer = digits.substr(0, integer_count + (grew ? 1 : 0));
  const std::string fraction = digits.substr(integer.size());
  integer.erase(0, integer.find_first_not_of('0'));
  int blanks = digits_wanted + 6 - static_cast<int>(integer.size() + fraction.size() + 1) -
               (negative ? 1 : 0);
  std::string zero;
  if (integer.empty() && blanks > 0) {
    zero = "0";
    --blanks;
  }
  return std::string(static_cast<std::size_t>(blanks), ' ') + (negative ? "-" : "") + zero +
         integer + "." + fraction + "    ";
}

std::string exponent_form(double magnitude, bool negative, int digits_wanted) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "%.130e", magnitude);  // exact for every float
  const std::string text = buf;
  const std::size_t e_at = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e_at - 2);
  int p = std::atoi(text.c_str() + e_at + 1);
  if (round_digits(digits, static_cast<std::size_t>(digits_wanted))) {
    digits.resize(static_cast<std::size_t>(digits_wanted));
    ++p;
  }
  const int e = p + 1;
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "%c%02d", e >= 0 ? '+' : '-', std::abs(e));
  return std::string(negative ? "   -" : "    ") + "0." + digits + "E" + exponent;
}

}  // namespace

std::string reference_real_field(float value, int digits) {
  const auto width = static_cast<std::size_t>(digits) + 10;
  const auto right_aligned = [&](const std::string& text) {
    return std::string(width - text.size(), ' ') + text;
  };
  if (std::isnan(value)) return right_aligned("NaN");
  const bool negative = std::signbit(value);
  if (std::isinf(value)) return right_aligned(negative ? "-Infinity" : "Infinity");
  static const std::vector<Thresholds> all = [] {
    std::vector<Thresholds> t;
    for (int d = 0; d <= 9; ++d)
      t.push_back(derive_thresholds(d));
    return t;
  }();
  const Thresholds& t = all[static_cast<std::size_t>(digits)];
  const float a = std::fabs(value);
  const double exact = static_cast<double>(a);
  if (a == 0.0f) return fixed_form(exact, negative, digits, digits - 1);
  if (a < t.l || t.scale - a <= 0.5f) return exponent_form(exact, negative, digits);
  int decimals = digits;
  for (const float step : t.steps)
    decimals -= a >= step ? 1 : 0;
  return fixed_form(exact, negative, digits, decimals);
}

std::string reference_g14_4(float value) {
  return reference_real_field(value, 4);
}

}  // namespace tovel::testing
