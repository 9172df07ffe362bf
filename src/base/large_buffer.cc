#include "base/large_buffer.h"

#include <sys/mman.h>

#include <cstring>

namespace tovel {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t whole_huge_pages(std::size_t size) {
  return (size + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

LargeBuffer::~LargeBuffer() {
  if (data_ != nullptr) ::munmap(data_, capacity_);
}

bool LargeBuffer::reserve(std::size_t size) {
  if (size <= capacity_) return true;
  const std::size_t capacity = whole_huge_pages(size);
  void* mapped = data_ == nullptr ? ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                  : ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
  if (mapped == MAP_FAILED) return false;
  // A hint: without huge pages the buffer is the same, in small pages.
  ::madvise(mapped, capacity, MADV_HUGEPAGE);
  data_ = static_cast<char*>(mapped);
  capacity_ = capacity;
  return true;
}

bool LargeBuffer::append(std::string_view bytes) {
  char* at = room(bytes.size());
  if (at == nullptr) return false;
  std::memcpy(at, bytes.data(), bytes.size());
  commit(bytes.size());
  return true;
}

}  // namespace tovel
