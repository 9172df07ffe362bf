#pragma once

#include <string>

#include "run/naming.h"

namespace tovel {

// How far a run has come, so that a run ended by a stop signal can say what
// its files hold.
class RunProgress {
 public:
  enum class Stage { collating, table_complete, copying, copied };

  void set_naming(const SeriesNaming& naming) { naming_ = &naming; }
  // File i's row is in the table.
  void row_written(int i) { rows_ = i; }
  void reach(Stage stage) { stage_ = stage; }

  // What the table and its copy hold, as said after "interrupted: ", given
  // whether any byte of the table has been written.
  std::string what_the_files_hold(bool table_written) const;

 private:
  const SeriesNaming* naming_ = nullptr;
  int rows_ = 0;
  Stage stage_ = Stage::collating;
};

}  // namespace tovel
