#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace tovel {

// Bytes appended one piece after another into memory mapped for them
// alone, in huge pages where the system gives them: the tens of megabytes
// of a whole series cost a few page faults, not thousands. It grows by
// remapping, and allocates nothing else.
class LargeBuffer {
 public:
  LargeBuffer() = default;
  ~LargeBuffer();
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;

  // Room for `size` bytes in all, made now; false when the system has no
  // memory for it.
  bool reserve(std::size_t size);
  // Appends `bytes`; false, with nothing appended, when there is no memory
  // for them.
  bool append(std::string_view bytes);
  // Room for `size` more bytes, or nullptr when there is no memory for them:
  // fill some, then commit as many.
  char* room(std::size_t size) {
    if (size_ + size > capacity_ && !reserve(std::max(size_ + size, 2 * capacity_))) return nullptr;
    return data_ + size_;
  }
  void commit(std::size_t size) { size_ += size; }

  // Makes the buffer at least `size` bytes long, the bytes added zero;
  // false when there is no memory for them.
  bool grow_to(std::size_t size) {
    if (size <= size_) return true;
    if (room(size - size_) == nullptr) return false;
    size_ = size;
    return true;
  }

  char* data() { return data_; }
  std::string_view view() const { return {data_, size_}; }
  std::size_t size() const { return size_; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace tovel
