#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tovel {

// Where a writer's bytes go: write(2) on a descriptor, or a fake in tests.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes up to `size` bytes: the count written, or -1 with errno set.
  virtual long write(const char* data, std::size_t size) = 0;
};

class DescriptorSink : public ByteSink {
 public:
  explicit DescriptorSink(int fd = -1) : fd_(fd) {}
  void set(int fd) { fd_ = fd; }
  int fd() const { return fd_; }
  long write(const char* data, std::size_t size) override;

 private:
  int fd_;
};

// Writes all of `bytes` to `sink`: an interrupted write is retried and a
// short one continued. Returns the count written; when that falls short,
// errno says why (EIO for a sink that takes nothing).
std::size_t write_fully(ByteSink& sink, std::string_view bytes);

// Bytes collected in a caller's buffer and written out in large writes.
// A failed writing out drops the bytes that did go out, keeps the rest and
// returns the system's error number (0 when all went out); nothing is ever
// written twice.
class BufferedWriter {
 public:
  // With a `block` above 1, the bytes held are written out up to the last
  // multiple of `block` bytes of the whole output once they fill all but
  // one block of the buffer, the few after it kept for the next write: a
  // file's page cache takes aligned writes of 64 KiB and more in large
  // pages, at about half the kernel's cost.
  explicit BufferedWriter(std::span<char> buffer, std::size_t block = 1)
      : buffer_(buffer),
        block_(block),
        write_out_at_(block > 1 && buffer.size() > block ? buffer.size() - block : buffer.size()) {}
  void attach(ByteSink& sink) { sink_ = &sink; }

  // Room for `size` more bytes (at most the buffer's size), writing out what
  // is held first when needed; nullptr when that fails, and last_error()
  // says why. Fill the room, then commit what was filled.
  char* reserve(std::size_t size) {
    if ((held_ >= write_out_at_ || buffer_.size() - held_ < size) && make_room(size) != 0) {
      return nullptr;
    }
    return buffer_.data() + held_;
  }
  void commit(std::size_t size) { held_ += size; }
  // 0, or the error number of the writing out that failed.
  int write(std::string_view text);
  int write_out();
  int last_error() const { return last_error_; }

  std::size_t capacity() const { return buffer_.size(); }
  // Counts the output from its start again, once all that was held is
  // written out and the sink begins anew.
  void start_over() { written_ = 0; }
  // The bytes written out so far, and those held to be written.
  long long written() const { return written_; }
  std::size_t held() const { return held_; }

 private:
  // Room for `size` bytes: what is held up to the last block's end is
  // written out and the rest moved to the front, or all of it when that
  // leaves too little room or no block ends in it.
  int make_room(std::size_t size);
  // Writes out the first `count` bytes held, keeping the rest.
  int write_out_first(std::size_t count);

  std::span<char> buffer_;
  std::size_t block_;
  std::size_t write_out_at_;  // the bytes held that start a writing out
  ByteSink* sink_ = nullptr;
  std::size_t held_ = 0;
  long long written_ = 0;
  int last_error_ = 0;
};

}  // namespace tovel
