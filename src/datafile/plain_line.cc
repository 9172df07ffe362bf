#include "datafile/plain_line.h"

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
constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

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

float value_or_zero(int count, int index, const PlainDecimal* numbers) {
  return count > index ? plain_value(numbers[index]) : 0.0f;
}

// The value of `count` (0 to 7) digits at `p`, from one word.
uint64_t digits_at(const char* p, int count) {
  const int half_shift = 32 - 4 * count;
  uint64_t v = ((load_word(p) & 0x0F0F0F0F0F0F0F0Fu) << half_shift) << half_shift;
  v = v * 10 + (v >> 8);
  return ((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
          ((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >>
         32;
}

// Reads the token at offsets [first, end) of `line` as a plain number. The
// common forms, [sign]digits[.digits] with at most 7 digits on each side,
// are read from the classes alone; others are scanned.
bool read_token(const char* line, const ByteClasses& classes, int first, int end,
                PlainDecimal& number) {
  const uint32_t token = ((uint32_t{1} << end) - 1) & ~((uint32_t{1} << first) - 1);
  const char lead = line[first];
  const int sign_length = (lead == '-') | (lead == '+');
  const uint32_t digits = classes.digits & token;
  // Besides the sign, at most one byte that is not a digit: the point. The
  // tests are combined without branches, which would be hard to predict.
  const uint32_t others = token & ~digits & ~(uint32_t(sign_length) << first);
  const bool has_point = others != 0;
  const int point_at = has_point ? std::countr_zero(others) : end;
  const int whole_count = point_at - first - sign_length;
  const int fraction_count = has_point ? end - point_at - 1 : 0;
  const bool simple = ((others & (others - 1)) == 0) & (!has_point | (line[point_at] == '.')) &
                      (digits != 0) & (whole_count < 8) & (fraction_count < 8);
  if (!simple) return scan_plain_number(line + first, line + end, number) == line + end;
  number.negative = lead == '-';
  number.digits =
      digits_at(line + first + sign_length, whole_count) * kPowersOfTen[fraction_count] +
      digits_at(line + point_at + 1, fraction_count);
  number.exponent = -fraction_count;
  return true;
}

// A line whose end comes within its first 32 bytes: its tokens are found
// from the classes of those bytes at once.
bool read_short_line(InputStream& in, const ByteClasses& classes, PlainLine& values) {
  const char* const line = in.buffered_begin();
  const int length = std::countr_zero(classes.line_ends);
  const uint32_t within = (uint32_t{1} << length) - 1;
  const uint32_t others = ~classes.separators & within;
  uint32_t starts = others & ~(others << 1);
  uint32_t lasts = others & ~(others >> 1);
  PlainDecimal numbers[3];
  int count = 0;
  for (; count < 3 && starts != 0; ++count) {
    const int first = std::countr_zero(starts);
    const int end = std::countr_zero(lasts) + 1;
    starts &= starts - 1;
    lasts &= lasts - 1;
    if (end - first > static_cast<int>(kRealFieldWidth)) return false;
    if (!read_token(line, classes, first, end, numbers[count])) return false;
  }
  const char* const next = after_line_end(line + length, in.buffered_end());
  if (next == nullptr) return false;
  in.take_buffered_line(next);
  values = {value_or_zero(count, 0, numbers), value_or_zero(count, 1, numbers),
            value_or_zero(count, 2, numbers)};
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
bool read_long_line(InputStream& in, PlainLine& values) {
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
  values = {value_or_zero(count, 0, numbers), value_or_zero(count, 1, numbers),
            value_or_zero(count, 2, numbers)};
  return true;
}

}  // namespace

bool read_plain_line(InputStream& in, PlainLine& values) {
  in.fill_if_exhausted();
  const ByteClasses classes = classify_32_bytes(in.buffered_begin());
  if (classes.line_ends != 0) return read_short_line(in, classes, values);
  return read_long_line(in, values);
}

}  // namespace tovel
