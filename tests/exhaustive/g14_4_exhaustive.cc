// Compares the table's number field with the independent reference for all
// 2^32 float bit patterns at every number of digits (4 to 9, or those given
// as arguments), split across the machine's cores. Prints, for each, the
// count of patterns checked, the mismatches (the first few in full) and the
// time taken.
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fields/number_field.h"
#include "g14_4_reference.h"

namespace {

bool sweep(int digits) {
  const auto start = std::chrono::steady_clock::now();
  const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
  constexpr uint64_t kPatterns = uint64_t{1} << 32;
  constexpr uint64_t kChunk = uint64_t{1} << 20;
  const tovel::NumberField field(digits);
  std::atomic<uint64_t> next_chunk{0};
  std::atomic<uint64_t> checked{0};
  std::atomic<uint64_t> mismatches{0};
  std::mutex print_lock;

  auto work = [&] {
    char text[tovel::kWidestNumberField];
    for (;;) {
      const uint64_t first = next_chunk.fetch_add(kChunk);
      if (first >= kPatterns) return;
      for (uint64_t b = first; b < first + kChunk; ++b) {
        const auto bits = static_cast<uint32_t>(b);
        const float value = std::bit_cast<float>(bits);
        field.write(value, text);
        const std::string written(text, field.width());
        const std::string expected = tovel::testing::reference_real_field(value, digits);
        if (written != expected && mismatches.fetch_add(1) < 20) {
          std::lock_guard lock(print_lock);
          std::printf("mismatch at %d digits, %08x: got '%s' expected '%s'\n", digits, bits,
                      written.c_str(), expected.c_str());
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
  std::printf(
      "%d digits, exhaustive: %llu patterns checked, %llu mismatches, %.0f s on %u threads\n",
      digits, static_cast<unsigned long long>(checked.load()),
      static_cast<unsigned long long>(mismatches.load()), elapsed.count(), workers);
  std::fflush(stdout);
  return mismatches.load() == 0 && checked.load() == kPatterns;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> all_digits;
  for (int i = 1; i < argc; ++i)
    all_digits.push_back(std::atoi(argv[i]));
  if (all_digits.empty()) {
    for (int digits = tovel::kLeastDigits; digits <= tovel::kMostDigits; ++digits)
      all_digits.push_back(digits);
  }
  bool all_match = true;
  for (const int digits : all_digits)
    all_match = sweep(digits) && all_match;
  return all_match ? 0 : 1;
}
