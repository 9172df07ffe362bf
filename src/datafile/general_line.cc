#include "datafile/general_line.h"

#include <algorithm>
#include <optional>

#include "base/byte_class.h"
#include "base/fixed_text.h"
#include "base/utf8.h"
#include "datafile/line_values.h"

namespace tovel {

LineTokens split_data_line(std::string_view line, uint16_t separators) {
  line = trim_trailing_blanks(line);
  LineTokens tokens;
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && in_class(line[i], separators))
      ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !in_class(line[i], separators))
      ++i;
    if (tokens.count < kMostColumns) {
      tokens.token[static_cast<std::size_t>(tokens.count)] = line.substr(start, i - start);
    }
    ++tokens.count;
  }
  return tokens;
}

namespace {

// A value written with a decimal comma, in `text`, as the real field reads
// it: the comma becomes the decimal point, and a full stop, which is then
// no decimal mark, a byte that no number holds, so that the value is
// refused in its turn.
std::string_view with_decimal_point(std::string_view token, char* text) {
  for (std::size_t i = 0; i < token.size(); ++i)
    text[i] = token[i] == ',' ? '.' : token[i] == '.' ? '!' : token[i];
  return {text, token.size()};
}

// The tokens of a line that fill_data_line takes, as the rules pick them:
// the first three with the first two columns, else those of the x and y
// columns, where a column the line lacks, and x as the point's number,
// give an empty token, which reads as 0. A line without tokens gives none.
class PickedTokens {
 public:
  PickedTokens(const LineTokens& tokens, const LineRules& rules) : tokens_(tokens) {
    if (rules.first_columns()) {
      for (int column = 0; column < std::min(tokens.count, kTokensRead); ++column)
        pick(column, rules);
    } else if (tokens.count > 0) {
      pick(rules.x_column - 1, rules);
      pick(rules.y_column - 1, rules);
      missing_ = (rules.x_column > tokens.count) + (rules.y_column > tokens.count);
    }
  }
  // Of x and y, the values the line lacks.
  int missing() const { return missing_; }
  bool more() const { return next_ < picked_count_; }
  std::string_view take() { return picked_[static_cast<std::size_t>(next_++)]; }
  static bool read(std::string_view token, Decimal& value) { return scan_real_field(token, value); }
  static std::string_view text(std::string_view token) { return token; }
  static bool keep(std::string_view token, DeferredReal& kept) {
    Decimal unused;
    if (!scan_real_field(token, unused)) return false;
    kept = DeferredReal(token);
    return true;
  }
  // The line's column, from 0, of the token picked `i`-th; -1 for none.
  int column(int i) const { return column_[static_cast<std::size_t>(i)]; }
  bool picks(int column) const {
    return std::find(column_.begin(), column_.begin() + picked_count_, column) !=
           column_.begin() + picked_count_;
  }

 private:
  void pick(int column, const LineRules& rules) {
    const auto i = static_cast<std::size_t>(picked_count_++);
    const bool present = column >= 0 && column < tokens_.count;
    column_[i] = present ? column : -1;
    const std::string_view token =
        present ? tokens_.token[static_cast<std::size_t>(column)] : std::string_view{};
    picked_[i] = rules.decimal_comma ? with_decimal_point(token, translated_[i]) : token;
  }

  const LineTokens& tokens_;
  std::array<std::string_view, kTokensRead> picked_{};
  std::array<int, kTokensRead> column_{};
  int picked_count_ = 0;
  int missing_ = 0;
  int next_ = 0;
  char translated_[kTokensRead][kDataLineWidth];
};

// The column, from 0, of the token that column 80 cuts, when it is one of
// those read: the line's field is full and the character after it is no
// separator; -1 otherwise.
int cut_column(std::string_view field, const LineTokens& tokens, const PickedTokens& picked,
               uint16_t separators, int next) {
  if (tokens.count == 0 || tokens.count > kMostColumns || next < 0 ||
      in_class(static_cast<char>(next), separators | kLineEnd)) {
    return -1;
  }
  const int last = tokens.count - 1;
  const std::string_view token = tokens.token[static_cast<std::size_t>(last)];
  const bool cut = token.data() + token.size() == field.data() + field.size();
  return cut && picked.picks(last) ? last : -1;
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

// A value that begins with a letter, as a heading does ("Wavelength",
// "Instrument:"): an ASCII letter, or one of another script in UTF-8.
bool begins_with_letter(std::string_view token) {
  if (token.empty()) return false;
  if (in_class(token[0], kLetter)) return true;
  const Utf8Sequence c = decode_utf8(token);
  return c.length > 1 && shows_as_text(c.code_point);
}

// Reads the line whose first characters `taker` has filled into `text`.
// Returns the outcome, or nothing for a comment line, which is skipped.
std::optional<ReadOutcome> read_filled_line(InputStream& in, LineTaker& taker,
                                            LineTaker::Filled filled, const FieldText& text,
                                            const LineRules& rules, DataLine& line,
                                            bool watch_decimal_commas) {
  const int next = filled == LineTaker::Filled::rest_remains ? taker.peek() : -1;
  const std::string_view field = text.view();
  if (is_comment(field)) return std::nullopt;
  const uint16_t separators = rules.decimal_comma ? kDecimalCommaSeparator : kSeparator;
  const LineTokens tokens = split_data_line(field, separators);
  const long line_number = in.lines_taken() + 1;
  PickedTokens picked(tokens, rules);
  const int bad = fill_data_line(picked, line);
  // The line's own count, beyond the tokens picked.
  line.values = static_cast<uint8_t>(std::min(tokens.count, kMostValuesCounted));
  if (!rules.first_columns()) line.missing = static_cast<uint8_t>(picked.missing());
  // A missing token is never bad: it reads as 0.
  const int bad_column = bad < 0 ? -1 : picked.column(bad);
  const int cut = cut_column(field, tokens, picked, separators, next);
  const bool is_cut = cut >= 0 && (bad_column < 0 || bad_column >= cut);
  if (is_cut || bad_column >= 0) {
    const std::string_view token =
        tokens.token[static_cast<std::size_t>(is_cut ? cut : bad_column)];
    ReadOutcome outcome =
        refused(is_cut ? ReadStatus::value_cut : ReadStatus::bad_value, line_number, token);
    outcome.header_like = looks_like_header(field) || begins_with_letter(token);
    outcome.rest_unread = filled == LineTaker::Filled::rest_remains;
    return outcome;
  }
  if (watch_decimal_commas) {
    line.decimal_comma.keep(decimal_comma_word(trim_trailing_blanks(field)));
  }
  return ReadOutcome{ReadStatus::line};
}

}  // namespace

ReadOutcome read_general_line(InputStream& in, DataLine& line, const LineRules& rules,
                              bool watch_decimal_commas) {
  for (;;) {
    FieldText text;
    LineTaker taker(in, text);
    const LineTaker::Filled filled = taker.fill(kDataLineWidth, false);
    std::optional<ReadOutcome> outcome{ReadStatus::line};
    if (filled != LineTaker::Filled::no_line && filled != LineTaker::Filled::failed) {
      outcome = read_filled_line(in, taker, filled, text, rules, line, watch_decimal_commas);
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

TakeStatus take_rest_of_refused_line(InputStream& in, const ReadOutcome& refused) {
  FieldText unused;
  LineTaker taker(in, unused);
  return taker.finish(refused.rest_unread ? LineTaker::Filled::rest_remains
                                          : LineTaker::Filled::line_end);
}

}  // namespace tovel
