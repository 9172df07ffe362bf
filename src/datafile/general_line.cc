#include "datafile/general_line.h"

#include <algorithm>
#include <optional>

#include "base/byte_class.h"
#include "base/fixed_text.h"
#include "base/utf8.h"
#include "datafile/line_values.h"

namespace tovel {

LineTokens split_data_line(std::string_view line) {
  line = trim_trailing_blanks(line);
  LineTokens tokens;
  std::size_t i = 0;
  while (tokens.count < kTokensRead) {
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

namespace {

// The tokens of split_data_line, as fill_data_line takes them.
class SplitTokens {
 public:
  explicit SplitTokens(const LineTokens& tokens) : tokens_(tokens) {}
  bool more() const { return next_ < tokens_.count; }
  std::string_view take() { return tokens_.token[static_cast<std::size_t>(next_++)]; }
  static bool read(std::string_view token, Decimal& value) { return scan_real_field(token, value); }
  static std::string_view text(std::string_view token) { return token; }
  static bool keep(std::string_view token, DeferredReal& kept) {
    Decimal unused;
    if (!scan_real_field(token, unused)) return false;
    kept = DeferredReal(token);
    return true;
  }

 private:
  const LineTokens& tokens_;
  int next_ = 0;
};

// The index of the token that column 80 cuts, when it is one of those read:
// the line's field is full and the character after it is no separator; -1
// otherwise.
int cut_token(std::string_view field, const LineTokens& tokens, int next) {
  if (tokens.count == 0 || next < 0 || in_class(static_cast<char>(next), kSeparator | kLineEnd)) {
    return -1;
  }
  const int last = tokens.count - 1;
  const std::string_view token = tokens.token[static_cast<std::size_t>(last)];
  return token.data() + token.size() == field.data() + field.size() ? last : -1;
}

ReadOutcome refused(ReadStatus status, long line_number, std::string_view token) {
  ReadOutcome outcome{status, line_number};
  outcome.field_size = token.copy(outcome.field, sizeof outcome.field);
  return outcome;
}

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
  const int next = filled == LineTaker::Filled::rest_remains ? taker.peek() : -1;
  const std::string_view field = text.view();
  if (is_comment(field)) return std::nullopt;
  const LineTokens tokens = split_data_line(field);
  const long line_number = in.lines_taken() + 1;
  SplitTokens source(tokens);
  const int bad = fill_data_line(source, line);
  const int cut = cut_token(field, tokens, next);
  if (cut >= 0 && (bad < 0 || bad >= cut)) {
    return refused(ReadStatus::value_cut, line_number, tokens.token[static_cast<std::size_t>(cut)]);
  }
  if (bad >= 0) {
    ReadOutcome outcome =
        refused(ReadStatus::bad_value, line_number, tokens.token[static_cast<std::size_t>(bad)]);
    outcome.header_like = looks_like_header(field);
    return outcome;
  }
  if (watch_decimal_commas) {
    line.decimal_comma.keep(decimal_comma_word(trim_trailing_blanks(field)));
  }
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
