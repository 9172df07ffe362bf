#include "harness.h"

#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace tovel::e2e {
namespace {

// Drains the child's standard output and error while feeding its input,
// until both are closed or the deadline passes; false at the deadline.
bool exchange(int in_fd, const std::string& input, int out_fd, int err_fd, Outcome& outcome,
              std::chrono::steady_clock::time_point deadline) {
  std::size_t sent = 0;
  if (in_fd >= 0 && input.empty()) {
    ::close(in_fd);
    in_fd = -1;
  }
  bool in_time = true;
  while (out_fd >= 0 || err_fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd fds[3] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}, {in_fd, POLLOUT, 0}};
    if (left.count() <= 0 || ::poll(fds, 3, static_cast<int>(left.count())) <= 0) {
      in_time = false;
      break;
    }
    char buf[4096];
    for (int k = 0; k < 2; ++k) {
      if ((fds[k].revents & (POLLIN | POLLHUP)) == 0) continue;
      const ssize_t n = ::read(fds[k].fd, buf, sizeof buf);
      std::string& sink = k == 0 ? outcome.out : outcome.err;
      if (n > 0) {
        sink.append(buf, static_cast<std::size_t>(n));
      } else {
        ::close(fds[k].fd);
        (k == 0 ? out_fd : err_fd) = -1;
      }
    }
    if (in_fd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
      const ssize_t n = ::write(in_fd, input.data() + sent, input.size() - sent);
      if (n > 0) sent += static_cast<std::size_t>(n);
      if (n <= 0 || sent == input.size()) {
        ::close(in_fd);
        in_fd = -1;
      }
    }
  }
  for (const int fd : {in_fd, out_fd, err_fd}) {
    if (fd >= 0) ::close(fd);
  }
  return in_time;
}

// Waits until the program's own thread waits in poll(2), as /proc shows
// its system call, or until `deadline`.
void wait_until_polling(int pid, std::chrono::steady_clock::time_point deadline) {
  const std::string path = "/proc/" + std::to_string(pid) + "/syscall";
  constexpr long kPoll = 7, kPpoll = 271;  // x86-64
  while (std::chrono::steady_clock::now() < deadline) {
    char text[32] = {};
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    const long call = n > 0 ? std::strtol(text, nullptr, 10) : -1;
    if (call == kPoll || call == kPpoll) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void make_nonblocking(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

Running::Running(const Scratch& dir, const Invocation& invocation) : invocation_(invocation) {
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (::pipe(in_pipe) != 0 || ::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) {
    throw std::runtime_error("pipe");
  }
  const std::string path_env =
      invocation.fake_commands ? dir.fake_bin() + ":" + std::getenv("PATH") : std::getenv("PATH");
  // A run that ends without reading all its input must not kill the test
  // with SIGPIPE as the rest is written; the program itself starts with the
  // default action, as from a shell.
  ::signal(SIGPIPE, SIG_IGN);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGPIPE, SIG_DFL);
    if (::chdir(dir.path().c_str()) != 0) std::_Exit(126);
    switch (invocation.input_kind) {
      case Input::closed:
        ::close(0);
        break;
      case Input::descriptor:
        ::dup2(invocation.input_fd, 0);
        break;
      case Input::bytes:
        ::dup2(in_pipe[0], 0);
        if (invocation.nonblocking_pipes) make_nonblocking(0);
        break;
    }
    switch (invocation.output) {
      case Output::pipe:
        ::dup2(out_pipe[1], 1);
        if (invocation.nonblocking_pipes) make_nonblocking(1);
        break;
      case Output::file:
        ::dup2(::open(invocation.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        break;
      case Output::closed:
        ::close(1);
        break;
      case Output::full_device:
        ::dup2(::open("/dev/full", O_WRONLY), 1);
        break;
      case Output::unread_pipe: {
        int unread[2];
        if (::pipe(unread) != 0) std::_Exit(126);
        ::dup2(unread[1], 1);
        ::close(unread[0]);  // nobody will ever read it
        ::close(unread[1]);
        break;
      }
    }
    if (invocation.file_size_limit > 0) {
      const rlimit limit{static_cast<rlim_t>(invocation.file_size_limit),
                         static_cast<rlim_t>(invocation.file_size_limit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (invocation.stack_limit > 0) {
      const rlimit limit{static_cast<rlim_t>(invocation.stack_limit),
                         static_cast<rlim_t>(invocation.stack_limit)};
      ::setrlimit(RLIMIT_STACK, &limit);
    }
    ::dup2(err_pipe[1], 2);
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) {
      ::close(fd);
    }
    ::setenv("PATH", path_env.c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    if (!invocation.shell_command.empty()) {
      // tovel, as a user's shell finds it.
      const std::string bin = std::filesystem::path(TOVEL_BINARY).parent_path();
      ::setenv("PATH", (bin + ":" + path_env).c_str(), 1);
      ::execl("/bin/sh", "sh", "-c", invocation.shell_command.c_str(), nullptr);
      std::_Exit(127);
    }
    std::vector<const char*> argv;
    if (invocation.as_nobody && ::geteuid() == 0) {
      for (const char* a : {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}) {
        argv.push_back(a);
      }
    }
    argv.push_back(TOVEL_BINARY);
    // The whole suite runs once with each number of jobs CTest gives it.
    if (const char* jobs = std::getenv("TOVEL_E2E_JOBS")) {
      argv.push_back("--jobs");
      argv.push_back(jobs);
    }
    for (const auto& a : invocation.args)
      argv.push_back(a.c_str());
    argv.push_back(nullptr);
    ::execvp(argv[0], const_cast<char* const*>(argv.data()));
    std::_Exit(127);
  }
  pid_ = pid;
  ::close(in_pipe[0]);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  in_fd_ = in_pipe[1];
  if (invocation.input_kind != Input::bytes) {
    ::close(in_fd_);
    in_fd_ = -1;
  }
  out_fd_ = out_pipe[0];
  err_fd_ = err_pipe[0];
}

void Running::signal(int number) const {
  ::kill(pid_, number);
}

Outcome Running::finish() {
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + std::chrono::milliseconds(invocation_.time_limit_ms);
  if (invocation_.peer_waits) wait_until_polling(pid_, deadline);
  Outcome outcome;
  const bool in_time = exchange(in_fd_, invocation_.input, out_fd_, err_fd_, outcome, deadline);
  if (!in_time) ::kill(pid_, SIGKILL);
  int wstatus = 0;
  ::waitpid(pid_, &wstatus, 0);
  outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  return outcome;
}

Outcome run_tovel(const Scratch& dir, const Invocation& invocation) {
  Running running(dir, invocation);
  return running.finish();
}

void write_numbered_series(const Scratch& dir, const std::string& prefix, int k, int n) {
  for (int i = 1; i <= k; ++i) {
    std::string text;
    for (int j = 1; j <= n; ++j) {
      text += std::to_string(j) + " " + std::to_string((i * 37 + j * 11) % 1000) + ".5\n";
    }
    char number[16];
    std::snprintf(number, sizeof number, "%04d", i);
    dir.write(prefix + number + ".DAT", text);
  }
}

std::string banner() {
  return "\nTovel v1.0.1 - collates a numbered series of data files\n\n";
}

std::string pad32(const std::string& text) {
  std::string padded = text;
  if (padded.size() < 32) padded.resize(32, ' ');
  return padded;
}

std::string input_file_line(int i, const std::string& name) {
  char number[16];
  std::snprintf(number, sizeof number, "%5d", i);
  return std::string("Input file ") + number + " is " + pad32(name) + "\n";
}

RenderedImage render_svg(const std::string& svg_path) {
  const std::string png_path = svg_path + ".png";
  const std::string command = "rsvg-convert -o '" + png_path + "' '" + svg_path + "'";
  RenderedImage rendered;
  if (std::system(command.c_str()) != 0) return rendered;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, png_path.c_str())) return rendered;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return rendered;
  rendered.width = static_cast<long>(image.width);
  rendered.rgb.assign(rgb.begin(), rgb.end());
  return rendered;
}

}  // namespace tovel::e2e
