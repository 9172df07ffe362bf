#pragma once

#include <string>

namespace tovel::test_support {

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

}  // namespace tovel::test_support
