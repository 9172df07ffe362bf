#include "datafile/readdata.h"

#include "fields/byte_set.h"
#include "fields/fixed_text.h"
#include "fields/real_field.h"
#include "run/report.h"

namespace tovel {
namespace {

constexpr ByteSet kSeparators{' ', ',', '\t'};

bool is_separator(char c) {
  return kSeparators.contains(c);
}

bool is_line_end(char c) {
  return c == '\n' || c == '\r';
}

// Reads the next line straight from the stream's buffer when it has the
// common shape: it lies wholly in the buffer, its line end comes within its
// first 80 characters, and it holds at most three tokens, each a plain number
// of at most 14 characters. Returns false, taking nothing, for any other line;
// the general reader gives such a line the same meaning.
bool read_plain_line(InputStream& in, float& x, float& y, float& z) {
  const char* const start = in.buffered_begin();
  const char* const last = in.buffered_end();
  const char* p = start;
  PlainDecimal numbers[3];
  int count = 0;
  for (;;) {
    while (p != last && is_separator(*p))
      ++p;
    if (p == last) return false;
    if (is_line_end(*p)) break;
    if (count == 3) return false;
    const char* const token = p;
    p = scan_plain_number(p, last, numbers[count++]);
    if (p == nullptr || p - token > static_cast<std::ptrdiff_t>(kRealFieldWidth)) return false;
    if (p != last && !is_separator(*p) && !is_line_end(*p)) return false;
  }
  if (p - start >= static_cast<std::ptrdiff_t>(kDataLineWidth)) return false;
  const char* next = p + 1;
  if (*p == '\r') {
    if (next == last) return false;  // whether LF follows is not known yet
    if (*next == '\n') ++next;
  }
  in.take_buffered_line(next);
  x = count > 0 ? plain_value(numbers[0]) : 0.0f;
  y = count > 1 ? plain_value(numbers[1]) : 0.0f;
  z = count > 2 ? plain_value(numbers[2]) : 0.0f;
  return true;
}

}  // namespace

LineTokens split_data_line(std::string_view line) {
  line = trim_trailing_blanks(line);
  LineTokens tokens;
  std::size_t i = 0;
  while (tokens.count < 3) {
    while (i < line.size() && is_separator(line[i]))
      ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !is_separator(line[i]))
      ++i;
    tokens.token[static_cast<std::size_t>(tokens.count++)] = line.substr(start, i - start);
  }
  return tokens;
}

void readdata(float& x, float& y, float& z, DataFile& file, int& endflag) {
  InputStream& in = file.stream();
  if (read_plain_line(in, x, y, z)) {
    endflag = 0;
    return;
  }
  FieldText line;
  const TakeStatus status = take_field(in, kDataLineWidth, false, line);
  if (status == TakeStatus::end_of_input) {
    endflag = 1;
    return;
  }
  if (status == TakeStatus::failed) {
    report_runtime_error({file.name(), in.lines_taken() + 1, "cannot read the data file"},
                         in.failure_text());
  }
  endflag = 0;
  const LineTokens tokens = split_data_line(line.view());
  float* const targets[3] = {&x, &y, &z};
  for (std::size_t t = 0; t < 3; ++t) {
    if (static_cast<int>(t) >= tokens.count) {
      *targets[t] = 0.0f;
      continue;
    }
    const std::string_view field = tokens.token[t].substr(0, kRealFieldWidth);
    const RealFieldResult r = decode_real_field(field);
    if (!r.ok) {
      report_runtime_error(
          {file.name(), in.lines_taken(), "cannot read a number from", field, true},
          "Bad value during floating point read");
    }
    *targets[t] = r.value;
  }
}

}  // namespace tovel
