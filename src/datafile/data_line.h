#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "datafile/decimal_comma.h"
#include "datafile/line_rules.h"
#include "fields/binary32_from_decimal.h"

namespace tovel {

// The model of a data line that both line readers fill: the values of its
// first three tokens and what the series' warnings look at, or why the
// line was refused.

// The tokens of a data line that are read: x, y and a third value, which is
// checked and never used; later ones are ignored.
inline constexpr int kTokensRead = 3;
// The values of a data line are counted up to this, which stands for more
// than kTokensRead.
inline constexpr int kMostValuesCounted = kTokensRead + 1;

// A token's text as read_plain_points compares it with a line's token: its
// characters, zero bytes after them to the end, and the bits of its bytes
// among each 16, which a line's bytes must match.
struct TokenText {
  alignas(16) char text[32] = {};
  uint8_t length = 0;  // 0: no token's text (none, or one longer than kept)
  // Bit i for byte i of the first 16, and of the next 16. Without a token's
  // text bit 16, which no 16 bytes have, so that no line matches.
  uint32_t first_bytes = 1u << 16;
  uint32_t later_bytes = 0;
};

// A value of a data line that is read only when asked for: the collation
// pass needs x only for the header row and the peak, and z never. It keeps
// the token's text, checked already to be a number.
class DeferredReal {
 public:
  DeferredReal() = default;  // zero
  // A token longer than the text kept is read at once.
  explicit DeferredReal(std::string_view token);
  // The whole number `number` as a token would give it.
  static DeferredReal whole_number(long number);
  // The same, in place, for a token in a buffer that may be read 26 bytes
  // from its start whatever its length: one fixed copy.
  void assign_padded(const char* token, std::size_t length);

  float value() const;
  // The value, and whether it lies beyond single precision, in one reading.
  Binary32 read() const;
  // Reads the value now and keeps it with the text, so that every later
  // value(), read() and out_of_range() takes it at once: for the first
  // file's x, which the header row, the grid and the warnings each read.
  void resolve();
  // Whether both hold the same token's text; a token longer than the text
  // kept, and a missing one, are never the same as any.
  bool same_text(const DeferredReal& other) const {
    if (length_ != other.length_ || length_ == 0 || length_ > kTextSize) return false;
    return std::memcmp(text_, other.text_, length_) == 0;
  }
  // The token's text as kept, for read_plain_points; none for a missing
  // token or one longer than the text kept.
  TokenText token_text() const;
  // Whether the value lies beyond single precision, and the token as a
  // warning shows it: its first characters and "..." for a token longer
  // than the text kept; nothing for a missing one.
  OutOfRange out_of_range() const;
  std::string shown_text() const;

 private:
  static constexpr std::size_t kTextSize = 26;
  char text_[kTextSize];
  // The token's length; 0 for none, whose value is 0, and kLongToken for
  // one longer than the text kept, whose value is in value_ and whose first
  // characters are kept.
  static constexpr uint8_t kLongToken = 255;
  bool held_as_text() const;
  uint8_t length_ = 0;
  bool resolved_ = false;  // a token held as text whose value is in value_ too
  OutOfRange converted_out_of_range_ = OutOfRange::no;  // of the value in value_
  float value_ = 0.0f;
};

// A token whose value lies beyond single precision, kept for the warning.
struct OutOfRangeToken {
  // Leaves it all alone: a line reader makes one per line, and says for
  // each line read whether it holds a token (fill_data_line).
  OutOfRangeToken() {}
  OutOfRange kind;
  char text[kDataLineWidth];
  uint8_t size;
  void keep(OutOfRange out_of_range, std::string_view token);
  std::string_view view() const { return {text, size}; }
};

// The values of a data line (a missing value is 0).
struct DataLine {
  DeferredReal x;
  float y = 0.0f;
  DeferredReal z;
  OutOfRangeToken y_out_of_range;  // y, when its value lies beyond single precision
  bool empty = true;               // no value stands on the line
  uint8_t values = 0;              // the values that stand on the line, up to kMostValuesCounted
  uint8_t missing = 0;             // of x and y, those the line lacks, when it is not empty
  // When the reader watches for it: the word of a comma that looks like a
  // decimal comma (decimal_comma_word).
  DecimalCommaWord decimal_comma;
};

enum class ReadStatus {
  line,         // the line's values are in `line`
  end,          // the file has no further line; `line` is left alone
  bad_value,    // a token is not a number: "Bad value during floating point read"
  value_cut,    // a token that is read runs past column 80: "A value runs past column 80"
  read_failed,  // the file could not be read
  utf16_text,   // the file begins with a UTF-16 byte-order mark
};

// How reading a line ended, with what a report of a failure needs.
struct ReadOutcome {
  // The token's characters are left alone: written only for a bad value.
  ReadOutcome(ReadStatus s, long line = 0, std::string_view text = {})
      : status(s), line_number(line), failure_text(text) {}

  ReadStatus status;
  long line_number = 0;           // the line at fault, from 1
  std::string_view failure_text;  // with read_failed: the system's text
  char field[kDataLineWidth];     // with bad_value, value_cut: the token, field_size long
  std::size_t field_size = 0;
  // With bad_value and value_cut: a line of text without a digit, or whose
  // refused value begins with a letter, as header lines are.
  bool header_like = false;
  // With bad_value and value_cut: the rest of the line, past its first 80
  // characters, is not yet taken (take_rest_of_refused_line).
  bool rest_unread = false;
  std::string_view bad_field() const { return {field, field_size}; }
};

}  // namespace tovel
