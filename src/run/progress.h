#pragma once

#include <string>

#include "output/table_writer.h"
#include "run/naming.h"

namespace tovel {

// How far a run has come, so that a run ended by a stop signal can say what
// its files hold.
class RunProgress {
 public:
  enum class Stage { collating, table_complete, copying, copied };

  // With `csv_written`, the run writes the .csv itself (--csv) rather than
  // copy the table to it; `csv_beside`, when it writes it row by row beside
  // the table.
  RunProgress(const SeriesNaming& naming, const TableWriter& table, bool csv_written = false,
              const TableWriter* csv_beside = nullptr)
      : naming_(naming), table_(table), csv_written_(csv_written), csv_beside_(csv_beside) {}

  // File i's row is in the table.
  void row_written(int i) { rows_ = i; }
  void reach(Stage stage) { stage_ = stage; }

  // What the table and its copy hold, as said after "interrupted: ".
  std::string what_the_files_hold() const;
  // When the run cut its table and has not copied it, and a copy from an
  // earlier run is there: that it still holds an earlier table. Else "".
  std::string earlier_copy_note() const;

 private:
  const SeriesNaming& naming_;
  const TableWriter& table_;
  bool csv_written_;
  const TableWriter* csv_beside_;
  int rows_ = 0;
  Stage stage_ = Stage::collating;
};

}  // namespace tovel
