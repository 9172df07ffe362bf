// Reads every file named on the command line through one 64 KiB buffer and
// prints the bytes read: the cost of reading a series and nothing more, for
// the full-scale benchmark's floor. (cat to /dev/null, the obvious way, maps
// a fresh buffer for every file on Debian 12 and costs several times more.)
//
//   tovel_read_inputs FILE...
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  static char buffer[1 << 16];
  long long total = 0;
  for (int i = 1; i < argc; ++i) {
    const int fd = ::open(argv[i], O_RDONLY);
    if (fd < 0) {
      std::perror(argv[i]);
      return 1;
    }
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0; total += n) {
      if (n < 0) {
        std::perror(argv[i]);
        return 1;
      }
    }
    ::close(fd);
  }
  std::printf("%lld\n", total);
  return 0;
}
