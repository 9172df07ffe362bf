#include "datafile/data_line.h"

#include <cstring>

#include "fields/real_field.h"

namespace tovel {

DeferredReal::DeferredReal(std::string_view token) {
  char padded[kTextSize] = {};
  token.copy(padded, kTextSize);
  assign_padded(token.size() <= kTextSize ? padded : token.data(), token.size());
}

void DeferredReal::assign_padded(const char* token, std::size_t length) {
  if (length <= kTextSize) {
    std::memcpy(text_, token, kTextSize);
    length_ = static_cast<uint8_t>(length);
  } else {
    value_ = decode_real_field({token, length}).value_or(0.0f);
    length_ = 0;
  }
}

float DeferredReal::value() const {
  return length_ == 0 ? value_ : decode_real_field({text_, length_}).value_or(0.0f);
}

}  // namespace tovel
