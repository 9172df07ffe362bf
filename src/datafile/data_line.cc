#include "datafile/data_line.h"

#include <charconv>
#include <cstring>

#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"
#include "fields/real_field.h"

namespace tovel {

DeferredReal::DeferredReal(std::string_view token) {
  char padded[kTextSize] = {};
  token.copy(padded, kTextSize);
  assign_padded(token.size() <= kTextSize ? padded : token.data(), token.size());
}

DeferredReal DeferredReal::whole_number(long number) {
  char padded[kTextSize] = {};
  const std::size_t length =
      static_cast<std::size_t>(std::to_chars(padded, padded + kTextSize, number).ptr - padded);
  DeferredReal kept;
  kept.assign_padded(padded, length);
  return kept;
}

void DeferredReal::assign_padded(const char* token, std::size_t length) {
  std::memcpy(text_, token, kTextSize);
  resolved_ = false;
  if (length <= kTextSize) {
    length_ = static_cast<uint8_t>(length);
  } else {
    const Binary32 read = decode_real_value({token, length}).value_or(Binary32{});
    value_ = read.value;
    converted_out_of_range_ = read.out_of_range;
    length_ = kLongToken;
  }
}

bool DeferredReal::held_as_text() const {
  return length_ != 0 && length_ != kLongToken;
}

Binary32 DeferredReal::read() const {
  if (!held_as_text() || resolved_) return {value_, converted_out_of_range_};
  // A copy with room for the usual scan's reads past the token.
  char padded[kTextSize + 32] = {};
  std::memcpy(padded, text_, kTextSize);
  Decimal decimal;
  if (!scan_padded_real_field(padded, padded + length_, decimal)) return Binary32{};
  return binary32_and_range(decimal);
}

void DeferredReal::resolve() {
  const Binary32 now = read();
  value_ = now.value;
  converted_out_of_range_ = now.out_of_range;
  resolved_ = true;
}

float DeferredReal::value() const {
  return read().value;
}

TokenText DeferredReal::token_text() const {
  TokenText text;
  static_assert(kTextSize <= sizeof text.text);
  if (!held_as_text()) return text;
  std::memcpy(text.text, text_, length_);
  text.length = length_;
  const auto bits = [](std::size_t count) { return count >= 16 ? 0xFFFFu : (1u << count) - 1; };
  text.first_bytes = bits(length_);
  text.later_bytes = length_ > 16 ? bits(length_ - 16u) : 0;
  return text;
}

OutOfRange DeferredReal::out_of_range() const {
  return read().out_of_range;
}

std::string DeferredReal::shown_text() const {
  if (length_ == 0) return {};
  if (length_ == kLongToken) return std::string(text_, kTextSize) + "...";
  return {text_, length_};
}

void OutOfRangeToken::keep(OutOfRange out_of_range, std::string_view token) {
  kind = out_of_range;
  size = static_cast<uint8_t>(token.copy(text, sizeof text));
}

}  // namespace tovel
