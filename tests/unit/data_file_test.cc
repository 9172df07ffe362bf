#include "datafile/data_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "datafile/readdata.h"

namespace tovel {
namespace {

// A scratch file holding `bytes`, removed at the end of the test.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& bytes) {
    char path[] = "/tmp/tovel_data_file_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    path_ = path;
  }
  ~ScratchFile() { unlink(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Lines "i.5 -i.25 i" for i = 1..count, with LF, CR LF and CR endings in turn.
std::string numbered_lines(int count) {
  static const char* const kEnds[] = {"\n", "\r\n", "\r"};
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += std::to_string(i) + ".5 -" + std::to_string(i) + ".25 " + std::to_string(i);
    text += kEnds[i % 3];
  }
  return text;
}

struct Case {
  std::size_t buffer_size;  // including the read padding
  int lines;
};

// Every line is read, once and in order, however the file's size falls
// against the buffer: lines straddle refills, a line end can be split across
// two reads, and a file can fill the buffer exactly.
TEST(DataFile, ReadsEveryLineWhateverTheBufferSize) {
  const Case cases[] = {{40, 1},  {40, 30},   {41, 30},     {47, 30},
                        {64, 57}, {100, 300}, {4128, 1000}, {65536, 5000}};
  for (const Case& c : cases) {
    const std::string text = numbered_lines(c.lines);
    for (const std::size_t trim :
         {std::size_t{0}, std::size_t{1}}) {  // with and without the last line end
      const ScratchFile file(text.substr(0, text.size() - trim));
      std::vector<char> buffer(c.buffer_size);
      DataFile data(buffer);
      ASSERT_TRUE(data.open(file.path()));
      int endflag = 0;
      int read = 0;
      for (;;) {
        float x = 0, y = 0, z = 0;
        readdata(x, y, z, data, endflag);
        if (endflag == 1) break;
        ++read;
        ASSERT_EQ(x, static_cast<float>(read) + 0.5f) << c.buffer_size << " line " << read;
        ASSERT_EQ(y, -(static_cast<float>(read) + 0.25f)) << c.buffer_size << " line " << read;
        ASSERT_EQ(z, static_cast<float>(read)) << c.buffer_size << " line " << read;
      }
      EXPECT_EQ(read, c.lines) << "buffer " << c.buffer_size << ", " << text.size() - trim
                               << " bytes";
    }
  }
}

// A file exactly as large as what one read can hold, and one byte larger.
TEST(DataFile, FileFillingTheBufferExactly) {
  const std::size_t buffer_size = 64;
  const std::size_t room = buffer_size - InputStream::kReadPadding;
  for (const std::size_t size : {room - 1, room, room + 1}) {
    std::string text;
    while (text.size() + 4 <= size)
      text += "1 2\n";
    text += std::string(size - text.size(), ' ');
    const ScratchFile file(text);
    std::vector<char> buffer(buffer_size);
    DataFile data(buffer);
    ASSERT_TRUE(data.open(file.path()));
    int endflag = 0;
    int lines = 0;
    float x = 0, y = 0, z = 0;
    for (readdata(x, y, z, data, endflag); endflag == 0; readdata(x, y, z, data, endflag))
      ++lines;
    // The blanks at the end make one more line, of zeros, when there are any.
    EXPECT_EQ(lines, static_cast<int>(text.size() / 4) + (text.size() % 4 != 0 ? 1 : 0)) << size;
  }
}

}  // namespace
}  // namespace tovel
