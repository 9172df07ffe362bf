#include "datafile/read_data_line.h"

#include "datafile/general_line.h"
#include "datafile/plain_line.h"

namespace tovel {
namespace {

// A line read by rules other than the usual ones.
[[gnu::noinline]] ReadOutcome read_by_other_rules(DataLine& line, DataFile& file) {
  const LineRules& rules = file.line_rules();
  const ReadOutcome outcome =
      read_general_line(file.stream(), line, rules, file.watch_decimal_commas);
  if (outcome.status == ReadStatus::line && rules.x_column == 0) {
    const long number = file.next_point_number();
    if (!line.empty) line.x = DeferredReal::whole_number(number);
  }
  return outcome;
}

}  // namespace

ReadOutcome read_data_line(DataLine& line, DataFile& file) {
  if (!file.usual_line_rules()) [[unlikely]]
    return read_by_other_rules(line, file);
  InputStream& in = file.stream();
  if (read_plain_line(in, line, file.watch_decimal_commas)) return {ReadStatus::line};
  return read_general_line(in, line, LineRules{}, file.watch_decimal_commas);
}

}  // namespace tovel
