// Standard input as the run's dialogue reads it: the first name, the count
// (asked again while out of range), then the open-in-editor answer. What is
// said goes to /dev/null.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string_view>

#include "base/line_taker.h"
#include "fuzz_support.h"
#include "run/console.h"
#include "run/dialogue.h"
#include "run/naming.h"

namespace {

// Every failure the dialogue can give is one of these.
bool known(const tovel::Failure& failure) {
  return failure.kind == tovel::FailureKind::end_of_input ||
         failure.kind == tovel::FailureKind::bad_value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tovel::fuzzing::MemoryFile file;
  static char keyboard_buffer[tovel::InputStream::kReadPadding + 64];
  static char console_buffer[256];
  static const int null_fd = ::open("/dev/null", O_WRONLY);
  file.fill(data, size);
  const int fd = ::open(file.path().c_str(), O_RDONLY);
  // Nothing said to /dev/null fails, and no stop signal is looked for.
  tovel::RunEnding ending([] { return 0; });
  tovel::Console console(null_fd, console_buffer, ending);
  tovel::InputStream keyboard(keyboard_buffer, tovel::OnReadError::ends_input_while_filling);
  keyboard.attach(fd);
  tovel::Dialogue dialogue(console, keyboard);
  tovel::FieldText name;
  const char* const argv[] = {"tovel", nullptr};
  int k = 0;
  int answer = 0;
  auto failure = dialogue.answer(tovel::Name::size(), false, name);
  if (!failure && name.size > tovel::Name::size()) __builtin_trap();
  if (!failure) failure = tovel::obtain_file_count(tovel::parse_command_line(1, argv), dialogue, k);
  if (!failure && (k < 2 || k > 9999)) __builtin_trap();
  if (!failure) failure = dialogue.integer_answer(answer);
  if (failure && !known(*failure)) __builtin_trap();
  ::close(fd);
  return 0;
}
