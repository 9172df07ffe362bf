#pragma once

#include <cstdint>
#include <utility>

#include "base/byte_class.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tovel {

// The bytes of a class among the 32 bytes at `p`, one bit per byte (bit i
// for the byte at p + i); all 32 must be readable. Derived from the
// byte-class table: byte by byte, and 16 bytes at once with SSE2, testing
// each run of consecutive values that the table's class holds.
template <uint16_t Class>
inline uint32_t class_bits_scalar(const char* p) {
  uint32_t bits = 0;
  for (int i = 0; i < 32; ++i)
    bits |= uint32_t{in_class(p[i], Class)} << i;
  return bits;
}

#if defined(__SSE2__)

namespace detail {

// The bytes of `v` in the run First, First + 1, …, First + Count - 1.
template <unsigned char First, unsigned Count>
inline __m128i run_marks(__m128i v) {
  if constexpr (Count == 1) {
    return _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(First)));
  } else {
    // The run moves to the bottom of the signed range, where one signed
    // comparison finds it.
    const __m128i moved = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - First)));
    return _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(0x80 + Count)));
  }
}

template <uint16_t Class, std::size_t... I>
inline uint32_t class_bits_16(const char* p, std::index_sequence<I...>) {
  static constexpr auto kRanges = class_ranges<Class>();
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i marks = _mm_setzero_si128();
  ((marks = _mm_or_si128(marks, run_marks<kRanges[I].first, kRanges[I].count>(v))), ...);
  return static_cast<uint32_t>(_mm_movemask_epi8(marks));
}

template <uint16_t Class>
inline uint32_t class_bits_16(const char* p) {
  return class_bits_16<Class>(p, std::make_index_sequence<class_ranges<Class>().size()>());
}

}  // namespace detail

template <uint16_t Class>
inline uint32_t class_bits_sse2(const char* p) {
  return detail::class_bits_16<Class>(p) | detail::class_bits_16<Class>(p + 16) << 16;
}

#endif

template <uint16_t Class>
inline uint32_t class_bits(const char* p) {
#if defined(__SSE2__)
  return class_bits_sse2<Class>(p);
#else
  return class_bits_scalar<Class>(p);
#endif
}

}  // namespace tovel
