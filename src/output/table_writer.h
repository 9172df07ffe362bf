#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/buffered_writer.h"
#include "base/report.h"
#include "fields/g14_4.h"

namespace tovel {

// The table's file: written through, and cut once the run's first bytes are
// in it. The real one is a descriptor; tests put a fake in its place.
class TableFile : public ByteSink {
 public:
  // Shortens the file to `length` bytes; false with errno set.
  virtual bool cut(long long length) = 0;
  // Whether the file is a regular one, and so has content to cut.
  virtual bool regular() const = 0;
};

// The collated table file. Opened for reading and writing without being
// shortened, so an older table survives a run that stops before writing;
// the first bytes written out cut a regular file to what this run wrote.
// Cells are collected in a large buffer; every way the run ends writes the
// buffer out. Each write returns false once the table cannot take it, and
// failure() says why.
class TableWriter : public PendingOutput {
 public:
  explicit TableWriter(std::span<char> buffer);
  ~TableWriter() override;
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  // Opens or creates `name` (mode 0666 less the umask). An existing file
  // that may only be read (its permissions, an immutable file, a read-only
  // file system) is opened so, and the first write then fails. False, with
  // errno set, when the file cannot be opened at all, or when the name holds
  // a NUL (EINVAL).
  bool open(std::string_view name);
  // Writes to `file` in place of a file opened by name.
  void attach(TableFile& file, std::string_view name);

  bool write(std::string_view text);
  // A value: its G14.4 field alone, or followed by a tab.
  bool write_value(float value);
  bool write_cell(float value) {
    char* cell = read_only_ ? nullptr : writer_.reserve(kG14Width + 1);
    if (cell == nullptr) return refuse();
    format_g14_4(value, cell);
    cell[kG14Width] = '\t';
    writer_.commit(kG14Width + 1);
    return true;
  }
  // Values, each as a cell.
  bool write_cells(std::span<const float> values);
  // Writes out what is held and closes the file.
  bool close();

  bool write_out() override;
  Failure write_failure() const override { return failure(); }
  // Why the last write failed, as the report shows it.
  Failure failure() const;

 private:
  bool refuse();  // records why a write cannot be made, and returns false
  bool failed(int error);

  BufferedWriter writer_;
  TableFile* file_ = nullptr;
  bool read_only_ = false;
  bool cut_ = false;  // the old content beyond our first bytes is gone
  int error_ = 0;     // errno of the last failure; 0 for a table opened for reading
  std::string name_;
};

}  // namespace tovel
