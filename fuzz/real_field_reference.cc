#include "real_field_reference.h"

#include <cfenv>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tovel::testing {
namespace {

bool digit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<uint32_t> bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::optional<uint32_t> special(std::string_view rest, bool minus) {
  int opens = 0;
  int closes = 0;
  bool inside = false;
  for (const char c : rest) {
    const bool alnum = digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (c == '(') {
      if (++opens > 1) return std::nullopt;
      inside = true;
    } else if (c == ')') {
      if (!inside || ++closes > 1) return std::nullopt;
      inside = false;
    } else if (c == ' ') {
      if (inside) return std::nullopt;
    } else if (!alnum) {
      return std::nullopt;
    }
  }
  if (opens != closes) return std::nullopt;
  const std::string word = lowered(rest.substr(0, rest.find_first_of(" (")));
  const uint32_t sign = minus ? 0x80000000u : 0u;
  if (word == "nan") return sign | 0x7FC00000u;
  if (opens == 0 && (word == "inf" || word == "infinity")) return sign | 0x7F800000u;
  return std::nullopt;
}

}  // namespace

std::optional<uint32_t> reference_real_field_bits(std::string_view text) {
  const std::string_view field = text;
  std::size_t i = field.find_first_not_of(' ');
  if (i == std::string_view::npos) return 0u;
  bool minus = false;
  if (field[i] == '+' || field[i] == '-') {
    minus = field[i] == '-';
    i = field.find_first_not_of(' ', i + 1);
    if (i == std::string_view::npos) return 0u;
  }
  if (std::strchr("IiNn", field[i]) != nullptr) return special(field.substr(i), minus);

  std::string mantissa;
  bool has_digit = false;
  bool has_point = false;
  bool has_exponent = false;
  for (; i < field.size(); ++i) {
    const char c = field[i];
    if (digit(c)) {
      mantissa += c;
      has_digit = true;
    } else if (c == '.') {
      if (has_point) return std::nullopt;
      if (!has_digit) mantissa += '0';
      mantissa += '.';
      has_point = true;
    } else if (c == ' ') {
    } else if (c == '+' || c == '-') {
      has_exponent = true;
      break;
    } else if (std::strchr("EeDdQq", c) != nullptr && c != '\0') {
      has_exponent = true;
      ++i;
      break;
    } else {
      return std::nullopt;
    }
  }
  long exponent = 0;
  if (has_exponent) {
    while (i < field.size() && field[i] == ' ')
      ++i;
    bool exponent_minus = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
      exponent_minus = field[i++] == '-';
    if (i == field.size()) return std::nullopt;
    for (; i < field.size(); ++i) {
      if (digit(field[i])) {
        exponent = std::min(exponent * 10 + (field[i] - '0'), 100000L);
      } else if (field[i] != ' ') {
        return std::nullopt;
      }
    }
    if (exponent_minus) exponent = -exponent;
  }
  if (exponent > 9999 || exponent < -9999) return std::nullopt;
  if (!has_digit) return bits(minus ? -0.0f : 0.0f);
  if (mantissa.back() == '.') mantissa += '0';

  std::string work = (minus ? "-" : "") + mantissa;
  if (exponent != 0) {
    char e[8];
    std::snprintf(e, sizeof e, "e%s%04ld", exponent < 0 ? "-" : "", std::labs(exponent));
    work += e;
  }
  const int mode = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const float value = std::strtof(work.c_str(), nullptr);
  std::fesetround(mode);
  return bits(value);
}

}  // namespace tovel::testing
