#pragma once

#include <string>
#include <utility>
#include <vector>

#include "scratch.h"

namespace tovel::e2e {

using test_support::Scratch;

enum class Input { bytes, closed, descriptor };
enum class Output { pipe, file, closed, full_device, unread_pipe };

struct Invocation {
  Invocation(std::vector<std::string> arguments = {}, std::string typed = {})
      : args(std::move(arguments)), input(std::move(typed)) {}

  std::vector<std::string> args;
  std::string input;
  Input input_kind = Input::bytes;
  bool fake_commands = true;  // put the fake ls and bbedit first on PATH
  bool as_nobody = false;     // drop root privileges, so permissions hold
  Output output = Output::pipe;
  std::string stdout_file;   // with Output::file: where standard output goes
  long file_size_limit = 0;  // bytes (a multiple of 512); 0: none
  long stack_limit = 0;      // bytes; 0: none
  int input_fd = -1;         // with Input::descriptor: standard input, shared with the test
  // Both pipes made non-blocking on the program's side, as some readers
  // leave them, and, with `peer_waits`, neither fed nor read until the
  // program waits for one of them (poll).
  bool nonblocking_pipes = false;
  bool peer_waits = false;
  int time_limit_ms = 60000;  // then the program is killed (status 128 + 9)
  // When set, `sh -c shell_command` runs in place of tovel with `args`, with
  // the tovel under test first on PATH.
  std::string shell_command;
};

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;  // the exit status, or 128 + the signal number
};

// Runs build/tovel in `dir` and collects what it wrote and how it ended.
Outcome run_tovel(const Scratch& dir, const Invocation& invocation);

// The same in two steps, for a test that acts while the program runs.
class Running {
 public:
  Running(const Scratch& dir, const Invocation& invocation);
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  void signal(int number) const;
  // Feeds the input, collects the output and waits for the end.
  Outcome finish();

 private:
  Invocation invocation_;
  int pid_ = -1;
  int in_fd_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
};

// k files PREFIX0001.DAT … of n points each, x = 1..n and y varying with
// the file.
void write_numbered_series(const Scratch& dir, const std::string& prefix, int k, int n);

// The banner block and the standard transcript pieces, for building the
// expected standard output of a run.
std::string banner();
// A text in a field of 32 characters, as the dialogue shows names: padded,
// whole when longer.
std::string pad32(const std::string& text);
std::string input_file_line(int i, const std::string& name);

// The picture `svg_path` rendered by rsvg-convert (into a PNG beside it) and
// read back: its width and its pixels as RGB bytes, row after row; empty
// when either step fails.
struct RenderedImage {
  long width = 0;
  std::vector<unsigned char> rgb;
};
RenderedImage render_svg(const std::string& svg_path);

}  // namespace tovel::e2e
