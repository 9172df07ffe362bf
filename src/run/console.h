#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "base/buffered_writer.h"
#include "base/report.h"
#include "run/ending.h"

namespace tovel {

// The program's standard output. Messages are collected in a buffer; on a
// terminal or a pipe the buffer is written out at the end of every message
// and prompt, so a prompt shows before its answer is read. On a regular file
// or a device it is written out when full, before a shell command and at the
// end of the run. A failure to write ends the run through `ending` with the
// report.
class Console : public PendingOutput {
 public:
  Console(int fd, std::span<char> buffer, RunEnding& ending);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  void write(std::string_view text);
  // Ends a message or prompt.
  void end_message();

  std::optional<Failure> write_out() override;

 private:
  DescriptorSink sink_;
  BufferedWriter writer_;
  RunEnding& ending_;
  bool interactive_;
};

}  // namespace tovel
