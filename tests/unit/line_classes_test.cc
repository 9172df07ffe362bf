// The classifiers of data-line bytes against the byte-class table they are
// derived from.
#include "datafile/line_classes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace tovel {
namespace {

using Classifier = uint32_t (*)(const char*);

struct ClassCase {
  const char* name;
  uint16_t cls;
  std::array<Classifier, 2> classifiers;  // scalar, then SSE2 where built
};

#if defined(__SSE2__)
#define TOVEL_CLASSIFIERS(C) \
  { &class_bits_scalar<C>, &class_bits_sse2<C> }
#else
#define TOVEL_CLASSIFIERS(C) \
  { &class_bits_scalar<C>, &class_bits_scalar<C> }
#endif

// Every byte value at every one of the 32 positions, among neighbours that
// are themselves every byte value, gives the bit the table gives it.
TEST(LineClasses, EveryClassifierFollowsTheTable) {
  const ClassCase cases[] = {
      {"separator", kSeparator, TOVEL_CLASSIFIERS(kSeparator)},
      {"line end", kLineEnd, TOVEL_CLASSIFIERS(kLineEnd)},
      {"digit", kDigit, TOVEL_CLASSIFIERS(kDigit)},
      {"sign", kSign, TOVEL_CLASSIFIERS(kSign)},
      {"exponent letter", kExponentLetter, TOVEL_CLASSIFIERS(kExponentLetter)},
  };
  for (const ClassCase& c : cases) {
    for (const Classifier classify : c.classifiers) {
      for (unsigned start = 0; start < 256; start += 32) {
        for (unsigned shift = 0; shift < 32; ++shift) {
          char block[32];
          for (unsigned i = 0; i < 32; ++i)
            block[i] = static_cast<char>(start + (i + shift) % 32);
          uint32_t expected = 0;
          for (unsigned i = 0; i < 32; ++i)
            expected |= uint32_t{in_class(block[i], c.cls)} << i;
          ASSERT_EQ(classify(block), expected) << c.name << " bytes from " << start;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tovel
