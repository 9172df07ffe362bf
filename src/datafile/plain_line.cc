#include "datafile/plain_line.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/byte_class.h"
#include "base/fixed_text.h"
#include "datafile/decimal_comma.h"
#include "datafile/line_classes.h"
#include "datafile/line_values.h"

namespace tovel {
namespace {

// A line is looked at in blocks of 32 bytes, up to three: its 80 characters
// and a line end. The buffered bytes are followed by enough NUL bytes for
// that, and for the scanner's word reads past a token.
constexpr int kBlocks = 3;
static_assert(InputStream::kReadPadding >= 32 * kBlocks);
static_assert(32 * kBlocks >= kDataLineWidth + 2);

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

// A token: its first byte and the byte after its last.
struct TokenSpan {
  const char* first;
  const char* last;
};

// The tokens of a line, from the bits of their first and last bytes, as
// fill_data_line takes them. Tokens lie in the buffer, which may be read 27
// bytes beyond any of them: they are scanned and kept padded.
template <typename Mask>
class TokenBounds {
 public:
  TokenBounds(const char* line, Mask others)
      : line_(line), starts_(others & ~(others << 1)), lasts_(others & ~(others >> 1)) {}
  bool more() const { return starts_ != 0; }
  // Takes the next token; more() must hold.
  TokenSpan take() {
    const TokenSpan token{line_ + index_of_lowest(starts_), line_ + index_of_lowest(lasts_) + 1};
    starts_ &= starts_ - 1;
    lasts_ &= lasts_ - 1;
    return token;
  }
  [[gnu::always_inline]] static bool read(TokenSpan token, Decimal& value) {
    return scan_padded_real_field(token.first, token.last, value);
  }
  // A token kept for reading on demand, once it is checked to be a number.
  static bool keep(TokenSpan token, DeferredReal& kept);
  static std::string_view text(TokenSpan token) {
    return {token.first, static_cast<std::size_t>(token.last - token.first)};
  }

 private:
  const char* line_;
  Mask starts_;
  Mask lasts_;
};

template <typename Mask>
bool TokenBounds<Mask>::keep(TokenSpan token, DeferredReal& kept) {
  Decimal unused;
  if (!scan_padded_real_field<Scan::check>(token.first, token.last, unused)) return false;
  kept.assign_padded(token.first, static_cast<std::size_t>(token.last - token.first));
  return true;
}

// The bytes of a class among a line's first bytes, one bit per byte, in as
// many blocks of 32 as the mask holds.
template <uint16_t Class, typename Mask>
Mask class_mask(const char* p) {
  Mask bits = class_bits<Class>(p);
  if constexpr (sizeof(Mask) >= 8) bits |= Mask{class_bits<Class>(p + 32)} << 32;
  if constexpr (sizeof(Mask) >= 16) bits |= Mask{class_bits<Class>(p + 64)} << 64;
  return bits;
}

// The word of a comma that looks like a decimal comma, as decimal_comma_word
// finds it. The byte classes tell at once whether the line can hold one: a
// comma between two digits, and a blank or tab with a value before it and
// one after it.
template <typename Mask>
void look_for_decimal_comma(const char* line, int length, Mask separators, DataLine& values) {
  const Mask in_line = (Mask{1} << length) - 1;
  const Mask commas = class_mask<kComma, Mask>(line) & in_line;
  if (commas == 0) return;
  const Mask digits = class_mask<kDigit, Mask>(line);
  if ((commas & digits << 1 & digits >> 1) == 0) return;
  const Mask value_bytes = ~separators & in_line;
  const Mask blanks_and_tabs = separators & ~commas & in_line;
  const Mask first_value = value_bytes & (~value_bytes + 1);
  const Mask later_gaps = blanks_and_tabs & ~((first_value << 1) - 1);
  const Mask gap = later_gaps & (~later_gaps + 1);
  if (gap == 0 || value_bytes < gap << 1) return;  // no value after the gap
  const auto text = std::string_view(line, static_cast<std::size_t>(length));
  values.decimal_comma.keep(decimal_comma_word(trim_trailing_blanks(text)));
}

// Takes the line at the start of the buffer, given the separators and the
// line ends among its first bytes, one bit per byte; `line_ends` is not 0.
// Each token is read into its place at once: a line declined leaves
// `values` undefined, as it may.
template <typename Mask>
[[gnu::always_inline]] inline bool read_line_in_buffer(InputStream& in, Mask separators,
                                                       Mask line_ends, bool watch_decimal_commas,
                                                       DataLine& values) {
  const char* const line = in.buffered_begin();
  const int length = index_of_lowest(line_ends);
  // A line of 80 characters or more is cut at 80 columns, and its CR, if
  // that ends it, is no line end: the general reader's.
  if (length >= static_cast<int>(kDataLineWidth)) return false;
  TokenBounds<Mask> tokens(line, ~separators & ((Mask{1} << length) - 1));
  if (fill_data_line(tokens, values) >= 0) return false;
  const char* const next = after_line_end(line + length, in.buffered_end());
  if (next == nullptr) return false;
  if (watch_decimal_commas) look_for_decimal_comma(line, length, separators, values);
  in.take_buffered_line(next);
  return true;
}

// Whether the bytes at `p`, which may be read 32 bytes on, begin with
// `expected`'s text; never for no text.
[[gnu::always_inline]] inline bool begins_with_text(const char* p, const TokenText& expected) {
#if defined(__SSE2__)
  const auto same_bytes = [](const char* a, const char* b) {
    return static_cast<uint32_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)),
                                         _mm_load_si128(reinterpret_cast<const __m128i*>(b)))));
  };
  if ((same_bytes(p, expected.text) & expected.first_bytes) != expected.first_bytes) return false;
  return expected.length <= 16 ||
         (same_bytes(p + 16, expected.text + 16) & expected.later_bytes) == expected.later_bytes;
#else
  return expected.length != 0 && std::memcmp(p, expected.text, expected.length) == 0;
#endif
}

const char* skip_separators(const char* p) {
  while (in_class(*p, kSeparator))
    ++p;
  return p;
}

// Whether a lone comma between two digits joins the token that ends at
// `last` to the next, which begins at `next`.
bool joined_by_comma(const char* last, const char* next) {
  return next - last == 1 && *last == ',' && in_class(last[-1], kDigit) && in_class(*next, kDigit);
}

// Whether the gap between two tokens, [first, last), holds a blank or a tab.
bool blank_or_tab_between(const char* first, const char* last) {
  for (const char* p = first; p != last; ++p) {
    if (*p != ',') return true;  // a separator other than a comma
  }
  return false;
}

// read_plain_points for one line and its text `x`. The line is walked token
// by token, each token's end found by the scan of its number: x must be the
// text at its start (past any separators), y and a third value numbers of
// the usual shapes, each followed by separators or the line end.
[[gnu::always_inline]] inline bool read_plain_point(InputStream& in, const TokenText& x,
                                                    bool watch_decimal_commas, float& y) {
  in.fill_if_exhausted();
  // The buffered bytes are followed by NUL bytes, which end every walk.
  const char* const line = in.buffered_begin();
  const char* const x_first = skip_separators(line);
  if (!begins_with_text(x_first, x)) return false;
  const char* const x_last = x_first + x.length;
  if (!in_class(*x_last, kSeparator)) return false;
  const char* const y_first = skip_separators(x_last);
  Decimal y_read;
  const char* const y_last = scan_usual_number(y_first, y_read);
  if (y_last == nullptr) return false;
  const char* end = skip_separators(y_last);
  if (!in_class(*end, kLineEnd)) {
    if (end == y_last) return false;  // y runs on in what is no number
    Decimal unused;
    const char* const z_last = scan_usual_number<Scan::check>(end, unused);
    if (z_last == nullptr) return false;
    const char* const after_z = skip_separators(z_last);
    // A fourth token, or a third that runs on: the plain reader's.
    if (!in_class(*after_z, kLineEnd)) return false;
    // A decimal comma, as the plain reader looks for one: a lone comma
    // between two digits in one gap, and a blank or tab in another. A line
    // of two tokens has one gap, which cannot be both.
    if (watch_decimal_commas &&
        (joined_by_comma(x_last, y_first) || joined_by_comma(y_last, end)) &&
        (blank_or_tab_between(x_last, y_first) || blank_or_tab_between(y_last, end))) {
      return false;
    }
    end = after_z;
  }
  if (end - line >= static_cast<std::ptrdiff_t>(kDataLineWidth)) return false;
  const char* const next = after_line_end(end, in.buffered_end());
  if (next == nullptr) return false;
  const Binary32 value = binary32_and_range(y_read);
  if (value.out_of_range != OutOfRange::no) return false;
  y = value.value;
  in.take_buffered_line(next);
  return true;
}

}  // namespace

bool read_plain_line(InputStream& in, DataLine& values, bool watch_decimal_commas) {
  in.fill_if_exhausted();
  const char* const p = in.buffered_begin();
  const uint32_t separators = class_bits<kSeparator>(p);
  const uint32_t line_ends = class_bits<kLineEnd>(p);
  if (line_ends != 0) {
    return read_line_in_buffer<uint32_t>(in, separators, line_ends, watch_decimal_commas, values);
  }
  const uint64_t separators_64 = separators | uint64_t{class_bits<kSeparator>(p + 32)} << 32;
  const uint64_t line_ends_64 = uint64_t{class_bits<kLineEnd>(p + 32)} << 32;
  if (line_ends_64 != 0) {
    return read_line_in_buffer<uint64_t>(in, separators_64, line_ends_64, watch_decimal_commas,
                                         values);
  }
  const uint128 line_ends_128 = uint128{class_bits<kLineEnd>(p + 64)} << 64;
  if (line_ends_128 == 0) return false;  // longer than any line read here
  const uint128 separators_128 = separators_64 | uint128{class_bits<kSeparator>(p + 64)} << 64;
  return read_line_in_buffer<uint128>(in, separators_128, line_ends_128, watch_decimal_commas,
                                      values);
}

std::size_t read_plain_points(InputStream& in, std::span<const TokenText> x,
                              bool watch_decimal_commas, float* y) {
  std::size_t taken = 0;
  while (taken < x.size() && read_plain_point(in, x[taken], watch_decimal_commas, y[taken]))
    ++taken;
  return taken;
}

}  // namespace tovel
