#pragma once

#include <span>
#include <string_view>

namespace tovel {

// Where the collation pass sends the table's cells as their values become
// known: the header row's x values while file 1 is read, each file's row
// once the file is read. Each call returns false when the table cannot take
// it, and the pass stops there.
class TableRows {
 public:
  virtual ~TableRows() = default;
  virtual bool begin_header() = 0;
  virtual bool header_cell(float x) = 0;
  virtual bool end_header() = 0;
  virtual bool file_row(std::string_view label, std::span<const float> y, float xmax,
                        float ymax) = 0;
};

}  // namespace tovel
