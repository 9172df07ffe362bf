#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tovel::e2e {

// A scratch directory, removed with everything in it at the end of the test.
class Scratch {
 public:
  Scratch();
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const std::string& path() const { return path_; }
  std::string at(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& bytes, unsigned mode = 0644) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;
  // A directory of programs put first on PATH: a fake `ls` that prints its
  // arguments, and a fake `bbedit` that records them in bbedit.log.
  std::string fake_bin() const;

 private:
  std::string path_;
};

enum class Input { bytes, closed };
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
  long file_size_limit = 0;  // bytes (a multiple of 512); SIGXFSZ ignored; 0: none
  long stack_limit = 0;      // bytes; 0: none
};

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;  // the exit status, or 128 + the signal number
};

// Runs build/tovel in `dir` and collects what it wrote and how it ended.
Outcome run_tovel(const Scratch& dir, const Invocation& invocation);

// The banner block and the standard transcript pieces, for building the
// expected standard output of a run.
std::string banner();
std::string pad32(const std::string& text);
std::string input_file_line(int i, const std::string& name);

}  // namespace tovel::e2e
