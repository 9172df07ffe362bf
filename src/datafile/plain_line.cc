#include "datafile/plain_line.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "datafile/readdata.h"
#include "fields/byte_classes.h"
#include "fields/byte_set.h"
#include "fields/byte_word.h"
#include "fields/plain_number.h"
#include "fields/real_field.h"

namespace tovel {
namespace {

// The buffered bytes end with at least 32 NUL bytes of padding: each scan
// below stops at a NUL, and may read whole words past the end.
static_assert(InputStream::kReadPadding >= 32);

constexpr ByteSet kTokenEnds{' ', ',', '\t', '\n', '\r'};

bool is_line_end(char c) {
  return c == '\n' || c == '\r';
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

// Reads a plain number that is not of the common form: a word at a time
// where it can, a byte at a time otherwise. The token must be followed by a
// byte that ends it and by at least 16 readable bytes. Returns whether the
// whole token is one.
bool scan_token(const char* text, int length, PlainDecimal& number) {
  const char* const end = text + length;
  const char* const stop = scan_padded_plain_number(text, number);
  if (stop != nullptr) return stop == end;
  return scan_plain_number(text, end, number) == end;
}

// A token of a short line: its text, its bytes as bits of the line's byte
// classes, and whether it has the common form [sign]digits[.digits], which
// the classes alone tell.
struct Token {
  const char* text;
  int length;
  uint32_t first_bit;  // the bit of its first byte
  uint32_t bits;       // the bits of all its bytes
  bool common;
};

// The index of the lowest set bit of a word known not to be zero, without
// the test for zero (and the branch) that std::countr_zero adds without
// a trailing-zero count instruction.
int index_of_lowest(uint32_t nonzero) {
  return __builtin_ctz(nonzero);
}

Token token_of(const char* line, const ByteClasses& classes, uint32_t first_bit,
               uint32_t last_bit) {
  const int first = index_of_lowest(first_bit);
  const int length = index_of_lowest(last_bit) + 1 - first;
  const uint32_t bits = (last_bit << 1) - first_bit;
  const uint32_t others = bits & ~classes.digits & ~(classes.signs & first_bit);
  // Besides a leading sign, at most one byte that is not a digit: a point.
  // The tests are combined without branches, which would be hard to predict.
  const bool common = ((others & ~classes.points) == 0) & ((others & (others - 1)) == 0) &
                      ((bits & classes.digits) != 0);
  return {line + first, length, first_bit, bits, common};
}

// The value of a token that is a plain number: a common one with at most 7
// digits on either side of its point is read from its classes and two words.
// Any other is scanned, unless `scanned` already holds it.
float value_of(const ByteClasses& classes, const Token& token, const PlainDecimal* scanned) {
  const int first = index_of_lowest(token.first_bit);
  const int sign_length = static_cast<int>((classes.signs & token.first_bit) >> first);
  const uint32_t point = token.bits & classes.points;
  // Without a point, as if there were one just after the token, which
  // leaves no fraction digits.
  const int point_at = index_of_lowest(point | token.first_bit << token.length) - first;
  const int whole_count = point_at - sign_length;
  const int fraction_count = std::max(token.length - point_at - 1, 0);
  PlainDecimal number;
  if (token.common && whole_count < 8 && fraction_count < 8) {
    number.negative = token.text[0] == '-';
    number.digits = digits_value(load_word(token.text + sign_length), whole_count) *
                        kPowersOfTenBelow8[fraction_count] +
                    digits_value(load_word(token.text + point_at + 1), fraction_count);
    number.exponent = -fraction_count;
    if (number.digits < (uint64_t{1} << 24)) {
      return short_plain_value(static_cast<uint32_t>(number.digits), fraction_count,
                               number.negative);
    }
  } else if (scanned != nullptr) {
    number = *scanned;
  } else {
    scan_token(token.text, token.length, number);
  }
  return plain_value(number);
}

// A line whose end comes within its first 32 bytes: its tokens are found
// from the classes of those bytes at once. Every token is checked before the
// line is taken; only y is converted here.
bool read_short_line(InputStream& in, const ByteClasses& classes, DataLine& values) {
  const char* const line = in.buffered_begin();
  const int length = std::countr_zero(classes.line_ends);
  const uint32_t within = (uint32_t{1} << length) - 1;
  const uint32_t others = ~classes.separators & within;
  uint32_t starts = others & ~(others << 1);
  uint32_t lasts = others & ~(others >> 1);
  values = DataLine{};
  for (int count = 0; count < 3 && starts != 0; ++count) {
    const uint32_t first_bit = starts & (0 - starts);
    const uint32_t last_bit = lasts & (0 - lasts);
    starts ^= first_bit;
    lasts ^= last_bit;
    const Token token = token_of(line, classes, first_bit, last_bit);
    if (token.length > static_cast<int>(kRealFieldWidth)) return false;
    PlainDecimal scanned;
    if (!token.common && !scan_token(token.text, token.length, scanned)) return false;
    if (count == 1) {
      values.y = value_of(classes, token, token.common ? nullptr : &scanned);
    } else {
      (count == 0 ? values.x : values.z) = DeferredReal(token.text, token.length);
    }
  }
  const char* const next = after_line_end(line + length, in.buffered_end());
  if (next == nullptr) return false;
  in.take_buffered_line(next);
  return true;
}

// The first byte at or after `p` that is not a separator; eight at a time.
const char* skip_separators(const char* p) {
  for (;; p += 8) {
    const uint64_t word = load_word(p);
    const uint64_t separators =
        bytes_equal(word, ' ') | bytes_equal(word, ',') | bytes_equal(word, '\t');
    const uint64_t others = ~separators & kByteHighBits;
    if (others != 0) return p + bytes_before_mark(others);
  }
}

// Any other line: its tokens are scanned one after another.
bool read_long_line(InputStream& in, DataLine& values) {
  const char* const line = in.buffered_begin();
  const char* p = line;
  PlainDecimal numbers[3];
  int count = 0;
  for (;;) {
    p = skip_separators(p);
    if (is_line_end(*p)) break;
    if (count == 3) return false;
    const char* const token = p;
    p = scan_padded_plain_number(p, numbers[count++]);
    if (p == nullptr || p - token > static_cast<std::ptrdiff_t>(kRealFieldWidth) ||
        !kTokenEnds.contains(*p)) {
      return false;
    }
  }
  if (p - line >= static_cast<std::ptrdiff_t>(kDataLineWidth)) return false;
  const char* const next = after_line_end(p, in.buffered_end());
  if (next == nullptr) return false;
  in.take_buffered_line(next);
  const auto value_or_zero = [&](int index) {
    return count > index ? plain_value(numbers[index]) : 0.0f;
  };
  values = {DeferredReal(value_or_zero(0)), value_or_zero(1), DeferredReal(value_or_zero(2))};
  return true;
}

}  // namespace

float DeferredReal::value() const {
  if (length_ == 0) return value_;
  PlainDecimal number;
  scan_plain_number(text_, text_ + length_, number);
  return plain_value(number);
}

bool read_plain_line(InputStream& in, DataLine& values) {
  in.fill_if_exhausted();
  const ByteClasses classes = classify_32_bytes(in.buffered_begin());
  if (classes.line_ends != 0) return read_short_line(in, classes, values);
  return read_long_line(in, values);
}

}  // namespace tovel
