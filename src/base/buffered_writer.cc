#include "base/buffered_writer.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/descriptor.h"

namespace tovel {

long DescriptorSink::write(const char* data, std::size_t size) {
  return transfer_when_ready(fd_, POLLOUT, [&] { return ::write(fd_, data, size); });
}

std::size_t write_fully(ByteSink& sink, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const long n = sink.write(bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

int BufferedWriter::write(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = std::min(text.size(), capacity());
    char* room = reserve(n);
    if (room == nullptr) return last_error_;
    std::memcpy(room, text.data(), n);
    commit(n);
    text.remove_prefix(n);
  }
  return 0;
}

int BufferedWriter::make_room(std::size_t size) {
  const std::size_t tail = (static_cast<std::size_t>(written_) + held_) % block_;
  if (tail >= held_ || buffer_.size() - tail < size) return write_out();
  return write_out_first(held_ - tail);
}

int BufferedWriter::write_out() {
  return write_out_first(held_);
}

int BufferedWriter::write_out_first(std::size_t count) {
  if (count == 0) return 0;  // also before a sink is attached
  const std::size_t done = write_fully(*sink_, {buffer_.data(), count});
  written_ += static_cast<long long>(done);
  std::memmove(buffer_.data(), buffer_.data() + done, held_ - done);
  held_ -= done;
  if (done == count) return 0;
  last_error_ = errno;
  return last_error_;
}

}  // namespace tovel
