// Drops files from the page cache, so that the next run reads them from
// storage as a series just copied off an instrument would be: written out
// first, then POSIX_FADV_DONTNEED over each whole file. Needs no root.
//
//   tovel_drop_cache FILE...
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const int fd = ::open(argv[i], O_RDONLY);
    if (fd < 0 || ::fdatasync(fd) != 0 || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0) {
      std::perror(argv[i]);
      return 1;
    }
    ::close(fd);
  }
  return 0;
}
