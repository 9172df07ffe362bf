#include "scratch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tovel::test_support {
namespace {

void write_file(const std::string& path, const std::string& bytes, unsigned mode) {
  ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) throw std::runtime_error("cannot create " + path);
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("cannot write " + path);
  }
  ::close(fd);
  ::chmod(path.c_str(), mode);
}

}  // namespace

Scratch::Scratch() {
  char templ[] = "/tmp/tovel-test-XXXXXX";
  if (::mkdtemp(templ) == nullptr) throw std::runtime_error("mkdtemp");
  path_ = templ;
  ::chmod(path_.c_str(), 0777);  // reachable after privileges are dropped
}

Scratch::~Scratch() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void Scratch::write(const std::string& name, const std::string& bytes, unsigned mode) const {
  write_file(at(name), bytes, mode);
}

std::string Scratch::read(const std::string& name) const {
  std::string bytes;
  const int fd = ::open(at(name).c_str(), O_RDONLY);
  if (fd < 0) return "<missing>";
  char buf[65536];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0)
    bytes.append(buf, static_cast<std::size_t>(n));
  ::close(fd);
  return bytes;
}

bool Scratch::exists(const std::string& name) const {
  return ::access(at(name).c_str(), F_OK) == 0;
}

std::string Scratch::fake_bin() const {
  const std::string bin = at(".fakebin");
  ::mkdir(bin.c_str(), 0755);
  write_file(bin + "/ls", "#!/bin/sh\necho \"ls $*\"\n", 0755);
  write_file(bin + "/bbedit", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done >> bbedit.log\n",
             0755);
  return bin;
}

}  // namespace tovel::test_support
