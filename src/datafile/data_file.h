#pragma once

#include <sys/stat.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/input_stream.h"
#include "base/limits.h"
#include "base/report.h"
#include "datafile/line_rules.h"

namespace tovel {

// Asks the system to read the regular file `name` into its page cache, at
// once and without waiting: a reader that comes to it later finds it there.
// Anything else (a FIFO, a missing file) is left alone.
void prefetch_data_file(const std::string& name);

// One data file of the series, open for reading through a buffer that is
// reused from file to file.
class DataFile {
 public:
  explicit DataFile(std::span<char> buffer) : stream_(buffer) {}
  ~DataFile() { close(); }
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  // Opens `name` for reading, past a UTF-8 byte-order mark at its start. A
  // file that may only be written is opened for writing, and its first read
  // fails. The failure when the file cannot be opened: a directory gives
  // EISDIR, a name holding a NUL EINVAL.
  std::optional<Failure> open(std::string name);
  // Opens `name` as open does, only when it is a regular file, as the
  // descriptor itself shows: a FIFO is never waited on, and a file that
  // changes from one to the other meanwhile is judged as it is opened. False,
  // with nothing open, for any other file, and for one that cannot be
  // opened, whose failure open reports.
  bool open_if_regular(std::string name);
  // Reads `text` as the file `name` holds it: an instrument file's points,
  // written out as text.
  void read_text(std::string name, std::string text);
  void close();

  std::string_view name() const { return name_; }
  InputStream& stream() { return stream_; }
  // Whether the file opened begins with a UTF-16 byte-order mark, either way
  // round: text that no line of it reads as.
  bool utf16_text() const { return utf16_text_; }
  bool regular_file() const { return regular_file_; }

  // Which values of a line are x and y, and what separates them: the usual
  // ones until set. They hold from file to file.
  void set_line_rules(const LineRules& rules) {
    rules_ = rules;
    usual_rules_ = rules.usual();
  }
  const LineRules& line_rules() const { return rules_; }
  bool usual_line_rules() const { return usual_rules_; }
  // With x as the point's number: the number of the next point of the file.
  long next_point_number() { return ++points_numbered_; }

  // Whether lines are looked at for decimal commas; once the sign is found,
  // a series need not look further. It holds from file to file.
  bool watch_decimal_commas = true;

 private:
  // Reads the descriptor `fd` opened for `name_`; `info` is its status, when known.
  void start_reading(int fd, bool readable, const struct stat* info);
  InputStream stream_;
  LineRules rules_{};
  bool usual_rules_ = true;
  long points_numbered_ = 0;
  bool utf16_text_ = false;
  bool regular_file_ = false;
  int fd_ = -1;
  std::string name_;  // whole, however long
  std::string text_;  // with read_text
  TextSource text_source_;
};

}  // namespace tovel
