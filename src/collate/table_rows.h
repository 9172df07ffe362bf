#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "base/report.h"

namespace tovel {

// Where the collation hands the table's cells: the header row's x values
// while file 1 is collated, each file's row once its points are in. Each
// call returns the failure when the table cannot take it, and the collation
// stops there.
class TableRows {
 public:
  virtual ~TableRows() = default;
  virtual std::optional<Failure> begin_header() = 0;
  virtual std::optional<Failure> header_cell(float x) = 0;
  virtual std::optional<Failure> end_header() = 0;
  virtual std::optional<Failure> file_row(std::string_view label, std::span<const float> y,
                                          float xmax, float ymax) = 0;
};

}  // namespace tovel
