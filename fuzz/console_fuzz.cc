// Standard input as the dialogue reads it: the first name, the count (asked
// again while out of range), then the open-in-editor answer.
#include <fcntl.h>

#include <cstdint>

#include "base/input_stream.h"
#include "fields/integer_field.h"
#include "fuzz_support.h"
#include "run/naming.h"

namespace {

bool take(tovel::InputStream& in, std::size_t width, bool numeric, tovel::FieldText& field) {
  const long before = in.lines_taken();
  const tovel::TakeStatus status = tovel::take_field(in, width, numeric, field);
  if (status != tovel::TakeStatus::line) return false;
  if (field.size > width || in.lines_taken() != before + 1) __builtin_trap();
  return true;
}

bool take_integer(tovel::InputStream& in, int& value) {
  tovel::FieldText field;
  if (!take(in, tovel::kIntegerFieldWidth, true, field)) return false;
  const tovel::IntegerFieldResult r = tovel::decode_integer_field(field.view());
  if (r.ok && (r.value < -9999 || r.value > 99999)) __builtin_trap();
  value = r.value;
  return r.ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tovel::fuzzing::MemoryFile file;
  static char buffer[tovel::InputStream::kReadPadding + 64];
  file.fill(data, size);
  const int fd = ::open(file.path().c_str(), O_RDONLY);
  tovel::InputStream in(buffer, tovel::OnReadError::ends_input_while_filling);
  in.attach(fd);
  tovel::FieldText name;
  if (take(in, tovel::Name::size(), false, name)) {
    const tovel::Name dname(name.view());
    int count = 0;
    bool ok = true;
    for (int attempt = 0; attempt < 1000 && ok && (count < 2 || count > 9999); ++attempt) {
      ok = take_integer(in, count);
    }
    int answer = 0;
    if (ok) take_integer(in, answer);
  }
  ::close(fd);
  return 0;
}
