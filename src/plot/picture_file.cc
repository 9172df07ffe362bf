#include "plot/picture_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "base/buffered_writer.h"
#include "base/descriptor.h"

namespace tovel {
namespace {

Failure cannot_write(std::string_view name, int error, std::string_view message = {}) {
  return write_failure(name, "cannot write the picture file", error, message);
}

}  // namespace

std::optional<Failure> write_picture_file(std::string_view name, std::string_view table_name,
                                          const SeriesPicture& picture, const SeriesText& text,
                                          std::span<char> buffer) {
  if (name == table_name) {
    return cannot_write(name, 0, "The picture's name, cut at 32 characters, is the table's");
  }
  const int fd = open_by_name(std::string(name), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) return open_failure(name, "picture", errno);
  DescriptorSink sink(fd);
  BufferedWriter out(buffer);
  out.attach(sink);
  int error = write_series_svg(picture, text, out);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) return cannot_write(name, error);
  return std::nullopt;
}

}  // namespace tovel
