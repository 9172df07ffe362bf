#pragma once

#include <cstddef>
#include <string_view>

#include "run/report.h"

namespace tovel {

// The program's standard output. Messages are collected in a buffer; on a
// terminal or a pipe the buffer is written out at the end of every message
// and prompt, so a prompt shows before its answer is read. On a regular file
// or a device it is written out when full, before a shell command and at the
// end of the run.
class Console : public PendingOutput {
 public:
  explicit Console(int fd);
  ~Console() override;
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  void write(std::string_view text);
  // Ends a message or prompt.
  void end_message();
  // Writes out what is held now; a failure ends the run with the report.
  void flush();
  bool write_out() override;
  FailureSite failure_site() const override { return {"standard output", 0, "cannot write"}; }

 private:
  static constexpr std::size_t kCapacity = 4096;
  int fd_;
  bool interactive_;
  std::size_t size_ = 0;
  char buffer_[kCapacity];
};

}  // namespace tovel
