#pragma once

#include <atomic>
#include <cstddef>
#include <string_view>

namespace tovel {

// Where a stream's bytes come from: read(2) on a descriptor, or a fake that
// injects faults in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `buffer`: the count read, 0 at the end,
  // or -1 with errno set.
  virtual long read(char* buffer, std::size_t size) = 0;
};

// The bytes of a text held in memory, which must outlive the reading.
class TextSource : public ByteSource {
 public:
  void set(std::string_view text) {
    text_ = text;
    offset_ = 0;
  }
  long read(char* buffer, std::size_t size) override;

 private:
  std::string_view text_;
  std::size_t offset_ = 0;
};

class DescriptorSource : public ByteSource {
 public:
  // Reads `fd`; with `regular`, the first read also notes whether the bytes
  // had to come from storage rather than the page cache.
  void set(int fd, bool regular = false) {
    fd_ = fd;
    regular_ = regular;
    probe_ = regular;
    from_storage_ = false;
  }
  int fd() const { return fd_; }
  // read(2), waiting when the descriptor was made non-blocking by another
  // program that shares it. A descriptor that may wait without end (a pipe,
  // a FIFO, a terminal) is waited on in short steps, and the read fails with
  // EINTR once a stop signal is caught, even one that came just before the
  // wait began, or once the reader gives up (see give_up_waits_when).
  long read(char* buffer, std::size_t size) override;
  void give_up_waits_when(const std::atomic<bool>& given_up) { given_up_ = &given_up; }
  // Whether a wait is to end: a stop signal was caught, or the reader gave up.
  bool stop_asked() const;
  // Whether the first read found its bytes outside the page cache.
  bool read_from_storage() const { return from_storage_; }

 private:
  int fd_ = -1;
  bool regular_ = false;
  bool probe_ = false;
  bool from_storage_ = false;
  const std::atomic<bool>* given_up_ = nullptr;
};

}  // namespace tovel
