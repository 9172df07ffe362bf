// The second command-line argument as the run takes the count from it: an
// accepted count lies from 2 to 9999; one outside falls back to the prompt,
// which finds no line here; anything else is a bad integer.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "base/input_stream.h"
#include "run/console.h"
#include "run/dialogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static char keyboard_buffer[tovel::InputStream::kReadPadding + 64];
  static char console_buffer[256];
  static const int null_fd = ::open("/dev/null", O_RDWR);
  const std::string argument(reinterpret_cast<const char*>(data), size);
  // Nothing said to /dev/null fails, and no stop signal is looked for.
  tovel::RunEnding ending([] { return 0; });
  tovel::Console console(null_fd, console_buffer, ending);
  tovel::InputStream keyboard(keyboard_buffer, tovel::OnReadError::ends_input_while_filling);
  keyboard.attach(null_fd);  // no line to read
  tovel::Dialogue dialogue(console, keyboard);
  const char* const argv[] = {"tovel", "--", "S", argument.c_str(), nullptr};
  int k = 0;
  const auto failure = tovel::obtain_file_count(tovel::parse_command_line(4, argv), dialogue, k);
  if (!failure && (k < 2 || k > 9999)) __builtin_trap();
  if (failure && failure->message != "End of file" &&
      failure->message != "Bad value during integer read") {
    __builtin_trap();
  }
  return 0;
}
