#include "base/byte_source.h"

#include <poll.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/descriptor.h"
#include "base/signals.h"

namespace tovel {

namespace {

// Waits until `fd` has bytes to read, its end or an error, looking every
// 50 ms whether `source` is asked to stop: false, with errno EINTR, once it
// is.
bool wait_for_bytes_or_stop(int fd, const DescriptorSource& source) {
  if (fd < 0) return true;  // poll would pass it over: the read fails at once
  for (;;) {
    if (source.stop_asked()) {
      errno = EINTR;
      return false;
    }
    pollfd waiting{fd, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, 50);
    if (ready > 0 || (ready < 0 && errno != EINTR)) return true;  // the read tells which
  }
}

}  // namespace

long TextSource::read(char* buffer, std::size_t size) {
  const std::size_t count = std::min(size, text_.size() - offset_);
  text_.copy(buffer, count, offset_);
  offset_ += count;
  return static_cast<long>(count);
}

bool DescriptorSource::stop_asked() const {
  return caught_stop_signal() != 0 || (given_up_ != nullptr && given_up_->load());
}

long DescriptorSource::read(char* buffer, std::size_t size) {
  if (!regular_ && !wait_for_bytes_or_stop(fd_, *this)) return -1;
  if (probe_) {
    // One read that takes only what the page cache holds tells whether the
    // file comes from storage; it costs nothing when the bytes are there.
    probe_ = false;
    iovec room{buffer, size};
    const long n = ::preadv2(fd_, &room, 1, -1, RWF_NOWAIT);
    if (n >= 0) return n;
    from_storage_ = errno == EAGAIN;
  }
  return transfer_when_ready(fd_, POLLIN, [&] { return ::read(fd_, buffer, size); });
}

}  // namespace tovel
