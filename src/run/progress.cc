#include "run/progress.h"

#include "base/descriptor.h"
#include "base/report.h"

namespace tovel {

std::string RunProgress::earlier_copy_note() const {
  const bool not_copied = stage_ == Stage::collating || stage_ == Stage::table_complete;
  // A copy named as the table (both cut at 32 characters) is the table.
  const bool copy_cut = csv_beside_ != nullptr && csv_beside_->was_cut();
  if (!not_copied || !table_.was_cut() || copy_cut || naming_.copy_name() == naming_.table_name() ||
      !file_exists(naming_.copy_name())) {
    return "";
  }
  return shown_name(naming_.copy_name()) + " still holds an earlier table";
}

std::string RunProgress::what_the_files_hold() const {
  const std::string table = shown_name(naming_.table_name());
  const std::string copy = shown_name(naming_.copy_name());
  switch (stage_) {
    case Stage::collating:
      break;
    case Stage::table_complete:
      return table + " is complete, but " +
             (csv_written_ ? copy + " was not written" : "it was not copied to " + copy);
    case Stage::copying:
      return table + " is complete; " + (csv_written_ ? "" : "its copy ") + copy +
             " may be incomplete";
    case Stage::copied:
      return table + " and " + (csv_written_ ? "" : "its copy ") + copy + " are complete";
  }
  // With the csv file beside the table, both hold the same rows.
  const bool beside = csv_beside_ != nullptr;
  if (!table_.written_to())
    return "nothing was written to " + table + (beside ? " or " + copy : "");
  const std::string files = beside ? table + " and " + copy + " hold" : table + " holds";
  if (rows_ == 0) return files + " part of the header row only";
  const std::string first = naming_.file(1).data_name;
  if (rows_ == 1) return files + " the row of " + shown_name(first) + " only";
  const std::string last = naming_.file(rows_).data_name;
  return files + " the rows of " + shown_name(first) + " to " + shown_name(last) + " only";
}

}  // namespace tovel
