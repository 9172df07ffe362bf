#include "run/warnings.h"

#include <algorithm>
#include <vector>

#include "base/fixed_text.h"
#include "base/report.h"

namespace tovel {
namespace {

std::string count_of(long count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string pieces_read(std::string_view word) {
  std::vector<std::string_view> pieces;
  while (!word.empty()) {
    const std::size_t comma = word.find(',');
    const std::string_view piece = word.substr(0, comma);
    if (!piece.empty()) pieces.push_back(piece);
    word.remove_prefix(comma == std::string_view::npos ? word.size() : comma + 1);
  }
  std::string text;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) text += i + 1 == pieces.size() ? " and " : ", ";
    text += pieces[i];
  }
  return text;
}

void SeriesWarnings::after_file(const FilePoints& points, std::string_view file) {
  if (first_points_ < 0) {
    warn_header_cells_alike(points);
    warn_first_columns(points, file);
  }
  const bool one_value_a_line = one_value_said_ && points.one_value_a_line();
  warn_ragged(points, file);
  if (points.x_differs_line != 0 && !one_value_a_line) {
    if (first_x_difference_.empty()) {
      first_x_difference_ = shown_name(file) + ":" + std::to_string(points.x_differs_line) +
                            ": x is " + shown_name(points.x_differs_text) +
                            " where the header has " + shown_name(points.header_x_text);
    } else {
      ++more_x_differences_;
    }
  }
  widest_row_ = std::max(widest_row_, points.count + 3);  // the label, the values, the peak
  if (points.blocks > 1 && !block_given_ && !blocks_said_) {
    blocks_said_ = true;
    warn(shown_name(file) + " holds " + std::to_string(points.blocks) +
         " blocks; the first is collated (--block N takes another)");
  }
  too_large_.after_file(points.too_large, file);
  too_small_.after_file(points.too_small, file);
  if (points.decimal_comma_line != 0 && !decimal_comma_said_) {
    decimal_comma_said_ = true;
    const std::string_view word = points.decimal_comma_word.view();
    warn(shown_name(file) + ":" + std::to_string(points.decimal_comma_line) + ": \"" +
         shown_name(word) + "\" looks like a decimal comma; commas separate values, so it is " +
         "read as " + shown_name(pieces_read(word)) + "; --decimal-comma reads such files");
  }
  if (points.peak < 0 && !one_value_a_line) {
    if (first_without_peak_.empty()) {
      first_without_peak_ = shown_name(file);
    } else {
      ++more_without_peak_;
    }
  }
  if (points.missing_values > 0 && !one_value_a_line) {
    if (first_missing_value_.empty()) {
      first_missing_value_ = shown_name(file) + ":" + std::to_string(points.first_missing_line);
      more_missing_values_ += points.missing_values - 1;
    } else {
      more_missing_values_ += points.missing_values;
    }
  }
  if (points.empty_lines > 0) {
    if (first_empty_line_.empty()) {
      first_empty_line_ = shown_name(file) + ":" + std::to_string(points.first_empty_line);
      more_empty_lines_ += points.empty_lines - 1;
    } else {
      more_empty_lines_ += points.empty_lines;
    }
  }
}

void SeriesWarnings::OutOfRangeSeen::after_file(const FilePoints::OutOfRangeValues& values,
                                                std::string_view file) {
  if (values.count == 0) return;
  if (!first.empty()) {
    more += values.count;
    return;
  }
  first = shown_name(file) + ":" + std::to_string(values.first_line) + ": \"" +
          shown_name(values.first_token) + "\"";
  first_negative = values.first_token.starts_with('-');
  more = values.count - 1;
}

void SeriesWarnings::OutOfRangeSeen::warn_at_end(std::string_view beyond,
                                                 std::string_view read_as) const {
  if (first.empty()) return;
  std::string text = first + " is " + std::string(beyond) +
                     " for single precision and is read as " + std::string(read_as);
  if (more == 1) text += " (and so is 1 more value)";
  if (more > 1) text += " (and so are " + std::to_string(more) + " more values)";
  warn(text);
}

void SeriesWarnings::at_series_end() const {
  if (widest_row_ > kSpreadsheetColumns && !transposed_) {
    warn("the table has " + std::to_string(widest_row_) + " columns; spreadsheets show the first " +
         std::to_string(kSpreadsheetColumns) + "; --transpose writes them as rows");
  }
  if (!first_without_peak_.empty()) {
    warn(more_without_peak_ == 0
             ? first_without_peak_ + " has no positive y; its peak is given as (0, 0)"
             : first_without_peak_ + " and " +
                   count_of(more_without_peak_, "more file", "more files") +
                   " have no positive y; their peaks are given as (0, 0)");
  }
  if (!first_empty_line_.empty()) {
    std::string text = first_empty_line_ + ": an empty line is read as the point (0, 0)";
    if (more_empty_lines_ > 0) {
      text += more_empty_lines_ == 1
                  ? ", and so is 1 more in the series"
                  : ", and so are " + std::to_string(more_empty_lines_) + " more in the series";
    }
    warn(text);
  }
  if (!first_missing_value_.empty()) {
    std::string text = first_missing_value_ + ": a missing value is read as 0";
    if (more_missing_values_ == 1) text += " (and so is 1 more in the series)";
    if (more_missing_values_ > 1) {
      text += " (and so are " + std::to_string(more_missing_values_) + " more in the series)";
    }
    warn(text);
  }
  too_large_.warn_at_end("too large", too_large_.first_negative ? "-Infinity" : "Infinity");
  too_small_.warn_at_end("too small", "0");
  if (!first_x_difference_.empty()) {
    const int more = more_x_differences_;
    warn(first_x_difference_ +
         (more == 0 ? "; columns are matched by position, so its y values stand under other x "
                      "values"
                    : ", and " + count_of(more, "more file differs", "more files differ") +
                          " from the header's x; columns are matched by position, so their y "
                          "values stand under other x values"));
  }
}

namespace {

// The header cell of x at `digits`, without its blanks.
std::string header_cell_text(float x, int digits) {
  char cell[kWidestNumberField];
  const NumberField field(digits);
  field.write(x, cell);
  const std::string_view text = trim_trailing_blanks({cell, field.width()});
  return std::string(text.substr(text.find_first_not_of(' ')));
}

// The neighbouring header cells, at `digits`, that show the same text for
// different x: the first pair's left column (from 0), and how many.
struct AlikePairs {
  std::size_t first = 0;
  int count = 0;
};
AlikePairs alike_pairs(const std::vector<DeferredReal>& x, std::size_t points, int digits) {
  AlikePairs alike;
  std::string left = points > 0 ? header_cell_text(x[0].value(), digits) : "";
  for (std::size_t j = 0; j + 1 < points; ++j) {
    std::string right = header_cell_text(x[j + 1].value(), digits);
    if (right == left && x[j].value() != x[j + 1].value() && alike.count++ == 0) alike.first = j;
    left = std::move(right);
  }
  return alike;
}

}  // namespace

// A header row whose neighbouring cells show the same text while their x
// differ cannot tell its columns apart: said once, with the digits that can.
void SeriesWarnings::warn_header_cells_alike(const FilePoints& first) const {
  const auto points = static_cast<std::size_t>(first.count);
  if (first.x.size() < points) return;  // no x values kept
  const AlikePairs alike = alike_pairs(first.x, points, field_.digits());
  if (alike.count == 0) return;
  int enough = field_.digits() + 1;
  while (enough <= kMostDigits && alike_pairs(first.x, points, enough).count > 0)
    ++enough;
  const std::size_t j = alike.first;
  std::string text = "the header row shows \"" +
                     header_cell_text(first.x[j].value(), field_.digits()) +
                     "\" for x = " + shown_name(first.x[j].shown_text()) +
                     " and x = " + shown_name(first.x[j + 1].shown_text()) + " (columns " +
                     std::to_string(j + 1) + " and " + std::to_string(j + 2) + ")";
  if (alike.count == 2) text += ", and so does 1 more neighbouring pair";
  if (alike.count > 2) {
    text += ", and so do " + std::to_string(alike.count - 1) + " more neighbouring pairs";
  }
  text += enough <= kMostDigits
              ? "; --digits " + std::to_string(enough) + " tells them apart"
              : "; not even --digits " + std::to_string(kMostDigits) + " tells them apart";
  warn(text);
}

// The x values of the first `count` points run from `first` by exactly 1.
bool runs_by_one(const std::vector<DeferredReal>& x, std::size_t count, float first) {
  for (std::size_t i = 0; i < count; ++i) {
    if (x[i].value() != first + static_cast<float>(i)) return false;
  }
  return true;
}

// The points a first file must have for its x to look like a row index.
constexpr int kLeastIndexedPoints = 10;

// A first file read from its first two columns whose x runs 0, 1, 2, ... or
// 1, 2, 3, ... over lines of three values or more likely has a row index
// first (pandas writes one); one whose lines hold one value likely holds y
// only. Both are said with the --columns that reads them.
void SeriesWarnings::warn_first_columns(const FilePoints& first, std::string_view file) {
  if (!rules_.first_columns()) return;
  const auto count = static_cast<std::size_t>(first.count);
  if (first.one_value_a_line()) {
    one_value_said_ = true;
    warn(shown_name(file) +
         " holds one value a line, read as x with y = 0; --columns 0,1 reads it as y, with "
         "x = 1, 2, 3, \u2026");
    return;
  }
  if (first.count < kLeastIndexedPoints || first.fewest_values < kTokensRead ||
      first.x.size() < count)
    return;
  const float start = first.x[0].value();
  if ((start != 0.0f && start != 1.0f) || !runs_by_one(first.x, count, start)) return;
  // Values are counted up to one more than are read.
  const std::string values =
      first.fewest_values == kMostValuesCounted
          ? "more than " + std::to_string(kTokensRead) + " values"
          : std::to_string(first.fewest_values) +
                (first.most_values > first.fewest_values ? " values or more" : " values");
  warn(shown_name(file) + ": x runs " + (start == 0.0f ? "0, 1, 2" : "1, 2, 3") +
       ", \u2026 like a row index, and its lines hold " + values +
       "; if the first column is an index, --columns 2,3 reads the next two");
}

// A file whose count of points differs from the first file's: its columns
// mix with the others' in the summary rows.
void SeriesWarnings::warn_ragged(const FilePoints& points, std::string_view file) {
  if (first_points_ < 0) first_points_ = points.count;
  if (ragged_said_ || points.count == first_points_) return;
  ragged_said_ = true;
  std::string text = shown_name(file) + " has " + std::to_string(points.count) + " points but " +
                     shown_name(first_file_) + " has " + std::to_string(first_points_) +
                     ": the summary rows match columns by position";
  const int empty = points.trailing_empty_lines;
  if (empty == 1) {
    text += " (the last line of " + shown_name(file) + " is empty and read as the point (0, 0))";
  } else if (empty > 1) {
    text += " (the last " + std::to_string(empty) + " lines of " + shown_name(file) +
            " are empty and each read as the point (0, 0))";
  }
  warn(text);
}

}  // namespace tovel
