#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "fields/g14_4.h"
#include "run/report.h"

namespace tovel {

// The collated table file. Opened for reading and writing without being
// shortened, so an older table survives a run that stops before writing;
// the first write cuts it to what this run wrote. Cells are collected in a
// large buffer, and every way the run ends writes the buffer out.
class TableWriter : public PendingOutput {
 public:
  TableWriter();
  ~TableWriter() override;
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  // Opens or creates `name` (mode 0666 less the umask). On failure ends the
  // run with "Cannot open file '…': …". An existing file that can only be
  // read is opened so, and the first write then fails.
  void open(std::string_view name);

  void write(std::string_view text);
  // A value: its G14.4 field alone, or followed by a tab.
  void write_value(float value);
  // Values, each as a cell.
  void write_cells(std::span<const float> values);
  void write_cell(float value) {
    if (read_only_ || kCapacity - size_ < kG14Width + 1) make_room(kG14Width + 1);
    format_g14_4(value, buffer_ + size_);
    buffer_[size_ + kG14Width] = '\t';
    size_ += kG14Width + 1;
  }
  // Writes out what is held and closes the file; a failure ends the run.
  void close();

  bool write_out() override;
  FailureSite failure_site() const override;

 private:
  void make_room(std::size_t needed);

  static constexpr std::size_t kCapacity = 1 << 16;
  static constexpr std::size_t kNameCapacity = 64;
  int fd_ = -1;
  bool read_only_ = false;
  bool cut_ = false;       // the old content beyond our first write is gone
  std::size_t size_ = 0;   // bytes held in buffer_
  long long written_ = 0;  // bytes written to the file
  char name_[kNameCapacity] = {};
  std::size_t name_size_ = 0;
  char buffer_[kCapacity];
};

}  // namespace tovel
