#include "datafile/readdata.h"

#include "datafile/plain_line.h"
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

void readdata(DataLine& line, DataFile& file, int& endflag) {
  InputStream& in = file.stream();
  if (read_plain_line(in, line)) {
    endflag = 0;
    return;
  }
  FieldText text;
  const TakeStatus status = take_field(in, kDataLineWidth, false, text);
  if (status == TakeStatus::end_of_input) {
    endflag = 1;
    return;
  }
  if (status == TakeStatus::failed) {
    report_runtime_error({file.name(), in.lines_taken() + 1, "cannot read the data file"},
                         in.failure_text());
  }
  endflag = 0;
  const LineTokens tokens = split_data_line(text.view());
  float values[3] = {0.0f, 0.0f, 0.0f};
  for (std::size_t t = 0; t < static_cast<std::size_t>(tokens.count); ++t) {
    const std::string_view field = tokens.token[t].substr(0, kRealFieldWidth);
    const RealFieldResult r = decode_real_field(field);
    if (!r.ok) {
      report_runtime_error(
          {file.name(), in.lines_taken(), "cannot read a number from", field, true},
          "Bad value during floating point read");
    }
    values[t] = r.value;
  }
  line = {DeferredReal(values[0]), values[1], DeferredReal(values[2])};
}

void readdata(float& x, float& y, float& z, DataFile& file, int& endflag) {
  DataLine line;
  readdata(line, file, endflag);
  if (endflag == 1) return;
  x = line.x.value();
  y = line.y;
  z = line.z.value();
}

}  // namespace tovel
