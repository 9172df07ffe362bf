// A data file's bytes, read line by line through readdata and the real field,
// as the collation pass reads them.
#include <cstdint>

#include "datafile/data_file.h"
#include "datafile/readdata.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tovel::fuzzing::MemoryFile file;
  static char buffer[1 << 12];  // small, so lines straddle refills
  tovel::fuzzing::install_throwing_report();
  file.fill(data, size);
  tovel::DataFile data_file(buffer);
  if (!data_file.open(file.path())) __builtin_trap();
  try {
    for (int line = 0; line < 100000; ++line) {
      float x = 0, y = 0, z = 0;
      int endflag = 0;
      tovel::readdata(x, y, z, data_file, endflag);
      if (endflag == 1) break;
    }
  } catch (const tovel::fuzzing::RunEnded&) {
  }
  return 0;
}
