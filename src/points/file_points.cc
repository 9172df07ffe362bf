#include "points/file_points.h"

#include <algorithm>
#include <cstring>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/line_taker.h"
#include "datafile/general_line.h"
#include "datafile/plain_line.h"
#include "datafile/read_data_line.h"
#include "fields/shown_number.h"

namespace tovel {
namespace {

// Notes an empty line, or the values of x and y that a line lacks.
[[gnu::cold]] void note_short_line(const DataLine& line, long line_number, FilePoints& points) {
  if (line.empty && points.empty_lines++ == 0) points.first_empty_line = line_number;
  if (line.missing != 0 && points.missing_values == 0) points.first_missing_line = line_number;
  points.missing_values += line.missing;
}

// Notes what the series' warnings look at in a line read as a point, but
// for the empty lines that end the file, which its reader counts.
[[gnu::always_inline]] inline void note_line(const DataLine& line, long line_number, DataFile& file,
                                             FilePoints& points) {
  // Empty lines and lines that lack a value are rare: one test for both.
  if ((line.missing | static_cast<uint8_t>(line.empty)) != 0) [[unlikely]] {
    note_short_line(line, line_number, points);
  }
  if (line.decimal_comma.size != 0 && points.decimal_comma_line == 0) [[unlikely]] {
    points.decimal_comma_line = line_number;
    points.decimal_comma_word = line.decimal_comma;
    file.watch_decimal_commas = false;  // once is enough for a series
  }
}

// Where the first of the highest values above `ymax` lies among `y`, or -1
// when none is above it: the strict peak that a walk from `ymax` finds, NaN
// never above. `ymax` is not negative, so the highest is positive, and
// equals only itself.
int first_peak_above(float ymax, std::span<const float> y) {
  std::size_t k = 0;
  float highest = ymax;
#if defined(__SSE2__)
  // Four running maxima: maxps keeps its second operand when the first is
  // NaN, as the walk does.
  __m128 four = _mm_set1_ps(ymax);
  for (; k + 4 <= y.size(); k += 4)
    four = _mm_max_ps(_mm_loadu_ps(y.data() + k), four);
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, four);
  for (const float lane : lanes)
    highest = lane > highest ? lane : highest;
#endif
  for (std::size_t j = k; j < y.size(); ++j)
    highest = y[j] > highest ? y[j] : highest;
  if (!(highest > ymax)) return -1;
  return static_cast<int>(std::find(y.begin(), y.end(), highest) - y.begin());
}

// Notes a value beyond single precision on line `line_number`; the first by
// line is kept.
[[gnu::cold]] void note_out_of_range(OutOfRange kind, std::string_view token, long line_number,
                                     FilePoints& points) {
  FilePoints::OutOfRangeValues& values =
      kind == OutOfRange::too_large ? points.too_large : points.too_small;
  if (values.count++ == 0 || line_number < values.first_line) {
    values.first_line = line_number;
    values.first_token = token;
  }
}

// The same for a value kept as text.
void note_if_out_of_range(const DeferredReal& value, long line_number, FilePoints& points) {
  if (const OutOfRange kind = value.out_of_range(); kind != OutOfRange::no) {
    note_out_of_range(kind, value.shown_text(), line_number, points);
  }
}

// Notes the point at `at`, on line `line_number`, when its x differs from
// the header's; the first such point of the file is kept.
[[gnu::cold]] void compare_x_in_general(const HeaderGrid& header, std::size_t at,
                                        const DataLine& line, long line_number,
                                        FilePoints& points) {
  if (header.same_x_in_general(at, line.x, line.empty)) return;
  points.x_differs_line = line_number;
  points.x_differs_text = line.x.shown_text();
  points.header_x_text = header.x(at).shown_text();
}

// A read that did not give a line, as the report shows it.
Failure read_failure(const ReadOutcome& read, std::string_view file) {
  Failure failure{.file = std::string(file), .line = read.line_number};
  switch (read.status) {
    case ReadStatus::bad_value:
      failure.kind = FailureKind::bad_value;
      failure.what = "cannot read a number from";
      failure.field = std::string(read.bad_field());
      failure.message = "Bad value during floating point read";
      break;
    case ReadStatus::value_cut:
      failure.kind = FailureKind::bad_value;
      failure.what = "column 80 cuts the value";
      failure.field = std::string(read.bad_field());
      failure.message = "A value runs past column 80";
      break;
    case ReadStatus::utf16_text:
      failure.kind = FailureKind::bad_value;
      failure.what = "the file is UTF-16 text; save it as UTF-8 or plain text";
      failure.message = "Bad value during floating point read";
      break;
    case ReadStatus::read_failed:
    case ReadStatus::line:
    case ReadStatus::end:
      failure.what = "cannot read the data file";
      failure.message = std::string(read.failure_text);
      break;
  }
  return failure;
}

// Passes over the `count` lines at the top of the file that are no data.
ReadOutcome skip_header_lines(DataFile& file, int count) {
  InputStream& in = file.stream();
  for (int skipped = 0; skipped < count; ++skipped) {
    FieldText unused;
    const TakeStatus status = take_line(in, kDataLineWidth, false, unused);
    if (status == TakeStatus::end_of_input) break;
    if (status == TakeStatus::failed) {
      return {ReadStatus::read_failed, in.lines_taken() + 1, in.failure_text()};
    }
  }
  return {ReadStatus::line};
}

// The y values as the table's cells, in the string that holds them from
// file to file, and, when the reading asks for them, as the csv's fields,
// each after its separator: the value each cell shows.
void format_cells(const FileReading& reading, FilePoints& points) {
  if (!reading.y_cells) return;
  const NumberField& field = reading.field;
  const auto count = static_cast<std::size_t>(points.count);
  points.y_cells.resize(count * field.cell_width());
  field.write_cells(std::span<const float>(points.y).first(count), points.y_cells.data());
  if (reading.csv_separator == '\0') return;
  points.y_csv_fields.clear();
  append_shown_numbers(points.y_cells, field.width(), reading.csv_separator,
                       reading.csv_decimal_mark, points.y_csv_fields);
}

// The last of the lines from `refused`, a refused line that reads as a
// header, that would be refused and read as headers too, reading on through
// line kMaxSkip at most. Only a regular file is read on: a line of another
// may never end.
long last_header_line(DataFile& file, const ReadOutcome& refused) {
  ReadOutcome last = refused;
  while (file.regular_file() && last.line_number < kMaxSkip) {
    if (take_rest_of_refused_line(file.stream(), last) != TakeStatus::line) break;
    DataLine line;
    const ReadOutcome next = read_general_line(file.stream(), line, file.line_rules(), false);
    const bool also_refused =
        next.status == ReadStatus::bad_value || next.status == ReadStatus::value_cut;
    if (!also_refused || !next.header_like) break;
    last = next;
  }
  return last.line_number;
}

[[gnu::cold]] void fail_with(const ReadOutcome& read, DataFile& file, FilePoints& points) {
  points.end = FilePoints::End::failed;
  points.failure = read_failure(read, file.name());
  points.header_like = read.header_like && points.count == 0;
  if (points.header_like) points.last_header_line = last_header_line(file, read);
}

// Room for more points: the values grow to the longest file, and no further
// than the rules allow. Rare, and kept out of the loop that reads lines.
[[gnu::noinline, gnu::cold]] void make_room(const PointRules& rules, FilePoints& points) {
  const std::size_t at = static_cast<std::size_t>(points.count);
  const std::size_t size =
      std::min<std::size_t>(std::max<std::size_t>(2 * at, kDefaultMaxPoints),
                            static_cast<std::size_t>(rules.reading.max_points));
  points.y.resize(std::max(points.y.size(), size));
  if (rules.keep_x_values) points.x.resize(std::max(points.x.size(), size));
}

// The points the file holds from the one at which reading stopped: counted
// on to the end, or to one more than kMostMaxPoints, by the general line
// reader, which gives every line what the usual one does; the usual one is
// then called from one place only, where it is inlined.
[[gnu::noinline, gnu::cold]] long count_on(DataFile& file, long counted) {
  for (DataLine line; counted <= kMostMaxPoints; ++counted) {
    if (read_general_line(file.stream(), line, file.line_rules(), false).status !=
        ReadStatus::line) {
      break;
    }
  }
  return counted;
}

}  // namespace

// Kept out of its callers, so that the line reader is inlined here.
[[gnu::noinline]] void read_file_points(DataFile& file, const PointRules& rules,
                                        FilePoints& points) {
  points.count = 0;
  points.peak = -1;
  points.ymax = 0.0f;
  points.peak_x = DeferredReal();
  points.end = FilePoints::End::complete;
  points.failure.reset();
  points.trailing_empty_lines = points.empty_lines = 0;
  points.decimal_comma_line = 0;
  points.missing_values = 0;
  points.fewest_values = kMostValuesCounted;
  points.most_values = 0;
  points.too_large.count = points.too_small.count = 0;
  points.empty_points.clear();
  points.x_differs_line = 0;
  if (file.utf16_text()) return fail_with({ReadStatus::utf16_text}, file, points);
  if (const ReadOutcome skipped = skip_header_lines(file, rules.reading.lines_to_skip);
      skipped.status != ReadStatus::line) {
    return fail_with(skipped, file, points);
  }
  // What changes from line to line is held here, where the compiler can
  // keep it in registers, and written to `points` when the reading ends.
  const HeaderGrid* const header = rules.header;
  const bool keep_x = rules.keep_x_values;
  const int max_points = rules.reading.max_points;
  // The header's x values that this file's are compared with: none when
  // there is no header, or once a difference is found.
  std::size_t compared = header != nullptr ? header->size() : 0;
  int count = 0;
  int peak = -1;
  float ymax = 0.0f;
  long peak_line = 0;
  DeferredReal peak_x;
  // Whether the peak's x is the header's at its point, read on the grid.
  bool peak_on_grid = false;
  int trailing_empty_lines = 0;
  const auto keep_progress = [&] {
    points.count = count;
    points.peak = peak;
    points.ymax = ymax;
    points.peak_line = peak_line;
    points.peak_x = peak_on_grid ? header->x(static_cast<std::size_t>(peak)) : peak_x;

    points.trailing_empty_lines = trailing_empty_lines;
  };
  // The points that fit before the values must grow, never more than
  // max_points.
  const auto room_now = [&] {
    const std::size_t size = keep_x ? std::min(points.y.size(), points.x.size()) : points.y.size();
    return std::min(size, static_cast<std::size_t>(max_points));
  };
  std::size_t room = room_now();
  float* y = points.y.data();
  const bool on_grid = file.usual_line_rules();
  InputStream& in = file.stream();
  for (;;) {
    // The usual lines of a later file, whose x are the header's texts, are
    // read on the grid: their x are known to be numbers, and are not kept.
    if (const auto at = static_cast<std::size_t>(count); on_grid && at < compared && at < room) {
      const std::span<const TokenText> texts =
          header->texts().subspan(at, std::min(compared, room) - at);
      const auto read =
          static_cast<int>(read_plain_points(in, texts, file.watch_decimal_commas, y + at));
      if (read != 0) {
        // Each point read was one line, the last of them just taken.
        const long first_line = in.lines_taken() - read + 1;
        if (const int higher = first_peak_above(ymax, {y + count, static_cast<std::size_t>(read)});
            higher >= 0) {
          ymax = y[count + higher];
          peak = count + higher;
          peak_on_grid = true;
          peak_line = first_line + higher;
        }
        count += read;
        trailing_empty_lines = 0;
        continue;
      }
    }
    DataLine line;
    const ReadOutcome read = read_data_line(line, file);
    if (read.status == ReadStatus::end) break;
    if (read.status != ReadStatus::line) {
      keep_progress();
      return fail_with(read, file, points);
    }
    const long line_number = file.stream().lines_taken();
    const auto at = static_cast<std::size_t>(count);
    // The room never passes max_points: a point beyond them finds none.
    if (at == room) [[unlikely]] {
      if (count == max_points) {
        keep_progress();
        points.end = FilePoints::End::too_many_points;
        points.stop_line = line_number;
        if (!rules.reading.max_points_given) points.total_points = count_on(file, count + 1);
        return;
      }
      points.count = count;
      make_room(rules, points);
      room = room_now();
      y = points.y.data();
    }
    note_line(line, line_number, file, points);
    trailing_empty_lines = line.empty ? trailing_empty_lines + 1 : 0;
    if (keep_x) {
      line.x.resolve();  // read by the header row, the grid and the warnings
      points.x[at] = line.x;
      note_if_out_of_range(line.x, line_number, points);
      if (line.empty) points.empty_points.push_back(count);
      points.fewest_values = std::min<int>(points.fewest_values, line.values);
      points.most_values = std::max<int>(points.most_values, line.values);
    }
    if (at < compared && !line.x.same_text(header->x(at))) [[unlikely]] {
      compare_x_in_general(*header, at, line, line_number, points);
      if (points.x_differs_line != 0) compared = 0;
    }
    y[at] = line.y;
    if (line.y_out_of_range.kind != OutOfRange::no) [[unlikely]] {
      note_out_of_range(line.y_out_of_range.kind, line.y_out_of_range.view(), line_number, points);
    }
    // Strict: the first of equal peaks wins. Selected, not branched on: the
    // rising side of a peak makes the branch hard to predict.
    const bool higher = line.y > ymax;
    ymax = higher ? line.y : ymax;
    peak = higher ? count : peak;
    peak_x = *(higher ? &line.x : &peak_x);
    peak_on_grid = !higher && peak_on_grid;
    peak_line = higher ? line_number : peak_line;
    ++count;
  }
  keep_progress();
  // The first file's x values were looked at already, its peak's among
  // them; a later file's peak on the grid has the header's x, read once.
  if (peak >= 0 && !keep_x) note_if_out_of_range(points.peak_x, peak_line, points);
  file.close();
  format_cells(rules.reading, points);
}

}  // namespace tovel
