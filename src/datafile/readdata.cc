#include "datafile/readdata.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/byte_class.h"
#include "base/fixed_text.h"
#include "base/utf8.h"
#include "datafile/plain_line.h"
#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"
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
    value_ = decode_real_field({token, length}).value;
    length_ = 0;
  }
}

float DeferredReal::value() const {
  return length_ == 0 ? value_ : decode_real_field({text_, length_}).value;
}

LineTokens split_data_line(std::string_view line) {
  line = trim_trailing_blanks(line);
  LineTokens tokens;
  std::size_t i = 0;
  while (tokens.count < 3) {
    while (i < line.size() && in_class(line[i], kSeparator))
      ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !in_class(line[i], kSeparator))
      ++i;
    tokens.token[static_cast<std::size_t>(tokens.count++)] = line.substr(start, i - start);
  }
  return tokens;
}

ReadOutcome readdata(DataLine& line, DataFile& file) {
  InputStream& in = file.stream();
  if (read_plain_line(in, line, file.watch_decimal_commas)) return {ReadStatus::line};
  return read_general_line(in, line, file.watch_decimal_commas);
}

namespace {

// The token that column 80 cuts, when it is one of the three read: the
// line's field is full and the character after it is no separator.
std::string_view cut_token(std::string_view field, const LineTokens& tokens, int next) {
  if (tokens.count == 0 || next < 0 || in_class(static_cast<char>(next), kSeparator | kLineEnd)) {
    return {};
  }
  const std::string_view last = tokens.token[static_cast<std::size_t>(tokens.count - 1)];
  return last.data() + last.size() == field.data() + field.size() ? last : std::string_view();
}

ReadOutcome refused(ReadStatus status, long line_number, std::string_view token) {
  ReadOutcome outcome{status, line_number};
  outcome.field_size = token.copy(outcome.field, sizeof outcome.field);
  return outcome;
}

}  // namespace

namespace {

// A line whose first character other than blanks and tabs is '#' is a
// comment: no point.
bool is_comment(std::string_view field) {
  const std::size_t first = field.find_first_not_of(" \t");
  return first != std::string_view::npos && field[first] == '#';
}

// A line of text without a digit: UTF-8 with no control character but tabs.
bool looks_like_header(std::string_view field) {
  while (!field.empty()) {
    const Utf8Sequence c = decode_utf8(field);
    if (c.length == 0 || in_class(field[0], kDigit)) return false;
    if (!shows_as_text(c.code_point) && field[0] != '\t') return false;
    field.remove_prefix(c.length);
  }
  return true;
}

// Reads the line whose first characters `taker` has filled into `text`.
// Returns the outcome, or nothing for a comment line, which is skipped.
std::optional<ReadOutcome> read_filled_line(InputStream& in, LineTaker& taker,
                                            LineTaker::Filled filled, const FieldText& text,
                                            DataLine& line, bool watch_decimal_commas) {
  // The line is judged by its first 80 characters, and the one after them,
  // before the rest of it is read: a refused line is reported even when
  // it never ends.
  const int next = filled == LineTaker::Filled::rest_remains ? taker.peek() : -1;
  const std::string_view field = text.view();
  if (is_comment(field)) return std::nullopt;
  const LineTokens tokens = split_data_line(field);
  const long line_number = in.lines_taken() + 1;
  const std::string_view cut = cut_token(field, tokens, next);
  Decimal values[3];
  for (std::size_t t = 0; t < static_cast<std::size_t>(tokens.count); ++t) {
    const std::string_view token = tokens.token[t];
    if (token.data() == cut.data()) return refused(ReadStatus::value_cut, line_number, token);
    if (!scan_real_field(token, values[t])) {
      ReadOutcome bad = refused(ReadStatus::bad_value, line_number, token);
      bad.header_like = looks_like_header(field);
      return bad;
    }
  }
  // Kept now: the tokens may lie in the buffer that finishing the line
  // refills.
  line.x = tokens.count > 0 ? DeferredReal(tokens.token[0]) : DeferredReal();
  line.y = tokens.count > 1 ? binary32_from_decimal(values[1]) : 0.0f;
  line.z = tokens.count > 2 ? DeferredReal(tokens.token[2]) : DeferredReal();
  line.empty = tokens.count == 0;
  if (watch_decimal_commas)
    line.decimal_comma.keep(decimal_comma_word(trim_trailing_blanks(field)));
  return ReadOutcome{ReadStatus::line};
}

}  // namespace

ReadOutcome read_general_line(InputStream& in, DataLine& line, bool watch_decimal_commas) {
  for (;;) {
    FieldText text;
    LineTaker taker(in, text);
    const LineTaker::Filled filled = taker.fill(kDataLineWidth, false);
    std::optional<ReadOutcome> outcome{ReadStatus::line};
    if (filled != LineTaker::Filled::no_line && filled != LineTaker::Filled::failed) {
      outcome = read_filled_line(in, taker, filled, text, line, watch_decimal_commas);
      if (outcome && outcome->status != ReadStatus::line) return *outcome;
    }
    switch (taker.finish(filled)) {
      case TakeStatus::line:
        if (outcome) return {ReadStatus::line};
        break;  // a comment: on to the next line
      case TakeStatus::end_of_input:
        return {ReadStatus::end};
      case TakeStatus::failed:
        return {ReadStatus::read_failed, in.lines_taken() + 1, in.failure_text()};
    }
  }
}

}  // namespace tovel
