// Writes a series of data files for benchmarks: K files of N points, named
// PREFIX0001.DAT onwards, deterministic from a seed. x lies on a grid; y is a
// noisy spectrum-like peak. In the plain format (the default) y has 4 to 7
// significant digits, some in exponent form, and separators are a mixture of
// blanks, tabs and commas; in the numpy format both values are written as
// numpy.savetxt writes them by default, %.18e with a blank between.
//
//   tovel_generate_series DIR PREFIX K N SEED [plain|numpy]
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// splitmix64: small, fast and the same on every platform.
struct Random {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
};

void append_number(std::string& line, double value, int significant, bool exponent) {
  char buf[48];
  const auto format = exponent ? std::chars_format::scientific : std::chars_format::general;
  const auto r = std::to_chars(buf, buf + sizeof buf, value, format, significant - 1 + !exponent);
  line.append(buf, r.ptr);
}

void append_numpy(std::string& line, double value) {
  char buf[48];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 18);
  line.append(buf, r.ptr);
}

std::string file_text(Random& random, int n, int file, bool numpy) {
  static const char* const kSeparators[] = {" ", "\t", ",", ", ", "   ", " \t"};
  const double centre = 0.4 + 0.2 * random.uniform();
  const double height = 500.0 + 9000.0 * random.uniform();
  std::string text;
  for (int j = 0; j < n; ++j) {
    const double x = 400.0 + 0.8 * j;
    const double shape = std::exp(-std::pow((j / static_cast<double>(n) - centre) * 6.0, 2.0));
    double y = height * shape + 0.01 * height * (random.uniform() - 0.5);
    if (random.below(20) == 0) y *= 1e-4;  // an occasional tiny reading
    const int roll = random.below(100);
    if (numpy) {
      append_numpy(text, x);
      text += ' ';
      append_numpy(text, y);
      text += '\n';
      continue;
    }
    const char* const separator = kSeparators[(file + j) % 6];
    append_number(text, x, 5, false);
    text += separator;
    append_number(text, y, 4 + random.below(4), roll < 12);
    if (roll >= 95) {  // a third value now and then
      text += separator;
      text += '0';
    }
    text += (file % 50 == 7) ? "\r\n" : "\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const bool numpy = argc == 7 && std::string(argv[6]) == "numpy";
  if ((argc != 6 && argc != 7) || (argc == 7 && !numpy && std::string(argv[6]) != "plain")) {
    std::fprintf(stderr, "usage: %s DIR PREFIX K N SEED [plain|numpy]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const std::string prefix = argv[2];
  const int k = std::atoi(argv[3]);
  const int n = std::atoi(argv[4]);
  Random random{std::strtoull(argv[5], nullptr, 10)};
  for (int i = 1; i <= k; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", i % 10000);
    const std::string path = dir + "/" + prefix + number + ".DAT";
    const std::string text = file_text(random, n, i, numpy);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
      std::perror(path.c_str());
      return 1;
    }
    ::close(fd);
  }
  return 0;
}
