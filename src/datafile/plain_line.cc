#include "datafile/plain_line.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "datafile/line_classes.h"
#include "fields/binary32_from_decimal.h"
#include "fields/byte_class.h"

namespace tovel {
namespace {

using uint128 = unsigned __int128;

// A line is looked at in blocks of 32 bytes, up to three: its 80 characters
// and a line end. The buffered bytes are followed by enough NUL bytes for
// that, and for the scanner's word reads past a token.
constexpr int kBlocks = 3;
static_assert(InputStream::kReadPadding >= 32 * kBlocks);
constexpr int kLineWidth = 80;

int index_of_lowest(uint32_t nonzero) {
  return __builtin_ctz(nonzero);
}
int index_of_lowest(uint64_t nonzero) {
  return __builtin_ctzll(nonzero);
}
int index_of_lowest(uint128 nonzero) {
  const auto low = static_cast<uint64_t>(nonzero);
  return low != 0 ? __builtin_ctzll(low)
                  : 64 + __builtin_ctzll(static_cast<uint64_t>(nonzero >> 64));
}

// Where the next line starts, after the line end at `end`; nullptr when that
// is a CR at the end of the buffer (whether an LF follows is not known yet).
const char* after_line_end(const char* end, const char* buffer_end) {
  const char* next = end + 1;
  if (*end == '\r') {
    if (next == buffer_end) return nullptr;
    if (*next == '\n') ++next;
  }
  return next;
}

// Takes the line at the start of the buffer, given the separators and the
// line ends among its first bytes, one bit per byte; `line_ends` is not 0.
template <typename Mask>
bool take_line(InputStream& in, Mask separators, Mask line_ends, DataLine& values) {
  const char* const line = in.buffered_begin();
  const int length = index_of_lowest(line_ends);
  // A line of 80 characters or more is cut at 80 columns, and its CR, if
  // that ends it, is no line end: the general reader's.
  if (length >= kLineWidth) return false;
  const Mask others = ~separators & ((Mask{1} << length) - 1);
  Mask starts = others & ~(others << 1);
  Mask lasts = others & ~(others >> 1);
  // Each token is read into its place at once; a line declined leaves
  // `values` undefined, as it may.
  int count = 0;
  for (; count < 3 && starts != 0; ++count) {
    const int first = index_of_lowest(starts);
    const int last = index_of_lowest(lasts);
    starts &= starts - 1;
    lasts &= lasts - 1;
    const char* const token = line + first;
    Decimal decimal;
    if (count == 1) {
      if (!scan_padded_real_field(token, line + last + 1, decimal)) return false;
      values.y = binary32_from_decimal(decimal);
    } else {
      if (!scan_padded_real_field<Scan::check>(token, line + last + 1, decimal)) return false;
      (count == 0 ? values.x : values.z)
          .assign_padded(token, static_cast<std::size_t>(last + 1 - first));
    }
  }
  const char* const next = after_line_end(line + length, in.buffered_end());
  if (next == nullptr) return false;
  in.take_buffered_line(next);
  if (count < 3) values.z = DeferredReal();
  if (count < 2) values.y = 0.0f;
  if (count < 1) values.x = DeferredReal();
  return true;
}

}  // namespace

DeferredReal::DeferredReal(std::string_view token) {
  if (token.size() <= kTextSize) {
    token.copy(text_, kTextSize);
    length_ = static_cast<uint8_t>(token.size());
  } else {
    value_ = read(token);
  }
}

void DeferredReal::assign_padded(const char* token, std::size_t length) {
  if (length <= kTextSize) {
    std::memcpy(text_, token, kTextSize);
    length_ = static_cast<uint8_t>(length);
  } else {
    value_ = read({token, length});
    length_ = 0;
  }
}

float DeferredReal::value() const {
  return length_ == 0 ? value_ : read({text_, length_});
}

float DeferredReal::read(std::string_view text) {
  Decimal decimal;
  scan_real_field(text, decimal);
  return binary32_from_decimal(decimal);
}

bool read_plain_line(InputStream& in, DataLine& values) {
  in.fill_if_exhausted();
  const char* const p = in.buffered_begin();
  const uint32_t separators = class_bits<kSeparator>(p);
  const uint32_t line_ends = class_bits<kLineEnd>(p);
  if (line_ends != 0) return take_line<uint32_t>(in, separators, line_ends, values);
  const uint64_t separators_64 = separators | uint64_t{class_bits<kSeparator>(p + 32)} << 32;
  const uint64_t line_ends_64 = uint64_t{class_bits<kLineEnd>(p + 32)} << 32;
  if (line_ends_64 != 0) return take_line<uint64_t>(in, separators_64, line_ends_64, values);
  const uint128 line_ends_128 = uint128{class_bits<kLineEnd>(p + 64)} << 64;
  if (line_ends_128 == 0) return false;  // longer than any line read here
  const uint128 separators_128 = separators_64 | uint128{class_bits<kSeparator>(p + 64)} << 64;
  return take_line<uint128>(in, separators_128, line_ends_128, values);
}

}  // namespace tovel
