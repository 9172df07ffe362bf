#include "datafile/read_data_line.h"

#include "datafile/general_line.h"
#include "datafile/plain_line.h"

namespace tovel {

ReadOutcome read_data_line(DataLine& line, DataFile& file) {
  InputStream& in = file.stream();
  if (read_plain_line(in, line, file.watch_decimal_commas)) return {ReadStatus::line};
  return read_general_line(in, line, file.watch_decimal_commas);
}

}  // namespace tovel
