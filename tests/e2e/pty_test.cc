// Drives the program through a pseudo-terminal, as a person at a terminal
// would: each answer is typed only once its prompt has appeared.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "harness.h"

namespace tovel::e2e {
namespace {

// Reads from the terminal until `text` has appeared after `from`, or ten
// seconds pass. Returns the position just after it, or npos.
std::size_t wait_for(int master, std::string& screen, const std::string& text, std::size_t from) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    const std::size_t at = screen.find(text, from);
    if (at != std::string::npos) return at + text.size();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::string::npos;
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buf[1024];
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n <= 0) return std::string::npos;
    screen.append(buf, static_cast<std::size_t>(n));
  }
}

TEST(Terminal, EachPromptIsVisibleBeforeItsAnswer) {
  Scratch dir;
  dir.write("Sample0001.DAT", "1 10\n2 20\n");
  dir.write("Sample0002.DAT", "1 12\n2 18\n");
  const std::string bin = dir.fake_bin();
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::chdir(dir.path().c_str()) != 0) std::_Exit(126);
    ::setenv("PATH", (bin + ":" + std::getenv("PATH")).c_str(), 1);
    ::execl(TOVEL_BINARY, TOVEL_BINARY, static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  std::string screen;
  std::size_t at = wait_for(master, screen, "Enter the first DAT file name ", 0);
  ASSERT_NE(at, std::string::npos) << screen;
  ASSERT_EQ(::write(master, "Sample0001.DAT\n", 15), 15);
  at = wait_for(master, screen, "Enter the number of DAT files ", at);
  ASSERT_NE(at, std::string::npos) << screen;
  ASSERT_EQ(::write(master, "2\n", 2), 2);
  at = wait_for(master, screen, "Enter 1 to open All_Sample.txt in BBEdit ", at);
  ASSERT_NE(at, std::string::npos) << screen;
  ASSERT_EQ(::write(master, "1\n", 2), 2);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(master);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(dir.read("bbedit.log"), "[All_Sample.txt]\n");
}

}  // namespace
}  // namespace tovel::e2e
