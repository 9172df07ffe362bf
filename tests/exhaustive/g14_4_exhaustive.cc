// Compares format_g14_4 with the independent reference for all 2^32 float bit
// patterns, split across the machine's cores. Prints the count of patterns
// checked, the mismatches (the first few in full) and the time taken.
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fields/g14_4.h"
#include "g14_4_reference.h"

int main() {
  const auto start = std::chrono::steady_clock::now();
  const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
  constexpr uint64_t kPatterns = uint64_t{1} << 32;
  constexpr uint64_t kChunk = uint64_t{1} << 20;
  std::atomic<uint64_t> next_chunk{0};
  std::atomic<uint64_t> checked{0};
  std::atomic<uint64_t> mismatches{0};
  std::mutex print_lock;

  auto work = [&] {
    for (;;) {
      const uint64_t first = next_chunk.fetch_add(kChunk);
      if (first >= kPatterns) return;
      for (uint64_t b = first; b < first + kChunk; ++b) {
        const auto bits = static_cast<uint32_t>(b);
        const float value = std::bit_cast<float>(bits);
        const auto text = tovel::format_g14_4(value);
        const std::string expected = tovel::testing::reference_g14_4(value);
        if (std::string(text.data(), text.size()) != expected) {
          if (mismatches.fetch_add(1) < 20) {
            std::lock_guard lock(print_lock);
            std::printf("mismatch %08x: got '%.14s' expected '%s'\n", bits, text.data(),
                        expected.c_str());
          }
        }
      }
      checked.fetch_add(kChunk);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned i = 0; i < workers; ++i)
    threads.emplace_back(work);
  for (auto& t : threads)
    t.join();

  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("G14.4 exhaustive: %llu patterns checked, %llu mismatches, %.0f s on %u threads\n",
              static_cast<unsigned long long>(checked.load()),
              static_cast<unsigned long long>(mismatches.load()), elapsed.count(), workers);
  return mismatches.load() == 0 && checked.load() == kPatterns ? 0 : 1;
}
