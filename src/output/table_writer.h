#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/buffered_writer.h"
#include "base/report.h"
#include "fields/number_field.h"

namespace tovel {

// The table's file: written through, and cut just before the run's first
// bytes go in. The real one is a descriptor; tests put a fake in its place.
class TableFile : public ByteSink {
 public:
  // Shortens the file to `length` bytes; false with errno set.
  virtual bool cut(long long length) = 0;
  // Whether the file is a regular one, and so has content to cut.
  virtual bool regular() const = 0;
  // Reads up to `size` bytes from `offset`: the count read, or -1 with
  // errno set.
  virtual long read_at(char* data, std::size_t size, long long offset) = 0;
  // The next write goes to the file's start; false with errno set.
  virtual bool rewind() = 0;
};

// The collated table file. Opened for reading and writing without being
// shortened, so an older table survives a run that stops before writing;
// a regular file is cut to nothing just before the first bytes are written
// out, so that however the run ends, even killed, the file holds either the
// older table untouched or the beginning of this run's table, never a mix.
// The table goes out in writes of whole blocks of kTableBlock bytes at
// their offsets, from a buffer of kTableBuffer bytes: about 256 KiB a write.
inline constexpr std::size_t kTableBlock = std::size_t{1} << 16;
inline constexpr std::size_t kTableBuffer = 5 * kTableBlock;

// Cells are collected in a large buffer, which the run writes out however it
// ends. The writes of cells, the hot path, return false once the table
// cannot take them, and failure() says why; the rest returns the failure.
//
// A regular file is locked (flock) from its opening until release_lock(),
// so that a second run on the same table is refused instead of writing
// into it at the same time.
class TableWriter : public PendingOutput {
 public:
  explicit TableWriter(std::span<char> buffer);
  ~TableWriter() override;
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  // Opens or creates `name` (mode 0666 less the umask). An existing file
  // that may only be read (its permissions, an immutable file, a read-only
  // file system) is opened so, and the first write then fails. The failure
  // when the file cannot be opened at all, when the name holds a NUL
  // (EINVAL), or when another run holds its lock ("another run is writing
  // it").
  std::optional<Failure> open(std::string_view name);
  // Lets another run at the table; closing does not, so that the lock
  // covers the copy made of the closed table.
  void release_lock();
  // Writes to `file` in place of a file opened by name.
  void attach(TableFile& file, std::string_view name);

  // The field the table's numbers are written in: G14.4 unless set.
  void set_number_field(NumberField field) { field_ = field; }
  const NumberField& number_field() const { return field_; }

  bool write(std::string_view text);
  // Values, each as a cell: its field and a tab.
  bool write_cells(std::span<const float> values);
  bool write_cell(float value) {
    char* cell = read_only_ ? nullptr : writer_.reserve(field_.cell_width());
    if (cell == nullptr) return refuse();
    field_.write_cell(value, cell);
    writer_.commit(field_.cell_width());
    return true;
  }
  // A value's field alone, which ends a row.
  bool write_field(float value);
  // Cuts the file now, as its first bytes written out would: for a table
  // whose first bytes come only at the run's end (turned), so that the wait
  // for an older table's pages to be written back falls while the files
  // are read. A table that may only be read is left to its first write.
  std::optional<Failure> cut_now();
  // What has been written to a regular file, read back whole into `bytes`,
  // and the file begun anew from its start, cut to nothing: for a file
  // written once more, changed, as the csv file is when its longest row
  // comes after rows written shorter.
  std::optional<Failure> take_back(std::string& bytes);
  // Writes out what is held and closes the file.
  std::optional<Failure> close();

  // Whether the file was cut to begin this run's table: its older content,
  // if any, is gone.
  bool was_cut() const { return sink_.cut; }
  // Whether any byte has been written to the table, out or into the buffer.
  bool written_to() const { return writer_.written() > 0 || writer_.held() > 0; }

  std::optional<Failure> write_out() override;
  // Why the last write failed, as the report shows it.
  Failure failure() const;
  const std::string& name() const { return name_; }
  // Whether the file is a regular one.
  bool regular() const { return file_ != nullptr && file_->regular(); }

 private:
  bool refuse();  // records why a write cannot be made, and returns false

  // The way to the file: the first write to a regular file cuts it first.
  class CuttingSink : public ByteSink {
   public:
    long write(const char* data, std::size_t size) override;
    bool cut_once();  // false with errno set
    TableFile* file = nullptr;
    bool cut = false;  // the older content is gone
  };

  // The table file opened by name.
  class OpenedFile : public TableFile {
   public:
    void set(int fd, bool regular) {
      sink_.set(fd);
      regular_ = regular;
    }
    int fd() const { return sink_.fd(); }
    long write(const char* data, std::size_t size) override { return sink_.write(data, size); }
    bool cut(long long length) override;
    bool regular() const override { return regular_; }
    long read_at(char* data, std::size_t size, long long offset) override;
    bool rewind() override;

   private:
    DescriptorSink sink_;
    bool regular_ = false;
  };

  OpenedFile opened_;
  CuttingSink sink_;
  BufferedWriter writer_;
  NumberField field_;
  TableFile* file_ = nullptr;
  bool read_only_ = false;
  int lock_fd_ = -1;  // holds the lock once the table's own descriptor is closed
  int error_ = 0;     // errno of the last failure; 0 for a table opened for reading
  std::string name_;
};

}  // namespace tovel
