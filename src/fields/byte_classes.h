#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tovel {

// The classes of the 32 bytes at a point of a data line that tell its tokens
// apart, one bit per byte (bit i for the byte at offset i).
struct ByteClasses {
  uint32_t separators;  // blank, comma, tab
  uint32_t line_ends;   // LF, CR
  uint32_t digits;      // 0 to 9
  uint32_t points;      // .
  uint32_t signs;       // + and -
};

#if defined(__SSE2__)

namespace detail {

inline uint32_t high_bits(__m128i v) {
  return static_cast<uint32_t>(_mm_movemask_epi8(v));
}

inline ByteClasses classify_16_bytes(const char* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const auto equal = [v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
  // Digits move to the bottom of the signed range, where one signed
  // comparison finds them all.
  const __m128i shifted = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - '0')));
  const __m128i digits = _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(0x80 + 10)));
  return {high_bits(_mm_or_si128(_mm_or_si128(equal(' '), equal(',')), equal('\t'))),
          high_bits(_mm_or_si128(equal('\n'), equal('\r'))), high_bits(digits),
          high_bits(equal('.')), high_bits(_mm_or_si128(equal('+'), equal('-')))};
}

}  // namespace detail

// Classifies the 32 bytes at `p`, all of which must be readable.
inline ByteClasses classify_32_bytes(const char* p) {
  const ByteClasses low = detail::classify_16_bytes(p);
  const ByteClasses high = detail::classify_16_bytes(p + 16);
  return {low.separators | high.separators << 16, low.line_ends | high.line_ends << 16,
          low.digits | high.digits << 16, low.points | high.points << 16,
          low.signs | high.signs << 16};
}

#else

inline ByteClasses classify_32_bytes(const char* p) {
  ByteClasses classes{};
  for (int i = 0; i < 32; ++i) {
    const char c = p[i];
    const uint32_t bit = uint32_t{1} << i;
    if (c == ' ' || c == ',' || c == '\t') classes.separators |= bit;
    if (c == '\n' || c == '\r') classes.line_ends |= bit;
    if (c >= '0' && c <= '9') classes.digits |= bit;
    if (c == '.') classes.points |= bit;
    if (c == '+' || c == '-') classes.signs |= bit;
  }
  return classes;
}

#endif

}  // namespace tovel
