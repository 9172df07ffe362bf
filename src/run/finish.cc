#include "run/finish.h"

#include <string>

#include "output/finishing.h"
#include "output/table_layout.h"
#include "plot/picture_file.h"
#include "run/ending.h"

namespace tovel {
namespace {

// Runs a shell command once everything written before it is written out,
// so that the command's own output follows it.
CommandStatus run_command(const std::string& command) {
  fail_if(write_out_pending_output());
  return run_shell_command(command);
}

// Copies the finished table; a copy that fails ends the run with the report.
void copy_table(const std::string& table, const std::string& copy, RunProgress& progress) {
  progress.reach(RunProgress::Stage::copying);
  const CommandStatus status = run_command(copy_command(table, copy));
  if (!status.succeeded()) {
    fail({.file = copy,
          .what = "cp " + status.description(),
          .message = "Cannot copy file '" + table + "' to '" + copy + "'"});
  }
  progress.reach(RunProgress::Stage::copied);
}

void say_closing_messages(const SeriesNaming& naming, Dialogue& dialogue) {
  Console& console = dialogue.console();
  console.write("\nOutput file is ");
  console.write(naming.table_name().full());
  dialogue.say("\n\n");
  console.write("The txt file is for Excel(R) and ");
  console.write("the csv file is for Open Office");
  dialogue.say("\n\n");
}

// Draws the series into its picture file, once the table is closed.
void draw_series(const CollatedSeries& series, std::span<char> buffer) {
  const SeriesNaming& naming = series.naming;
  const SeriesText text{.prefix = naming.prefix(), .file_name = [&](int i) {
                          return std::string(naming.file(i).data_name.trimmed());
                        }};
  fail_if(write_picture_file(naming.picture_name().trimmed(), naming.table_name().trimmed(),
                             *series.picture, series.sums, text, buffer));
}

}  // namespace

void finish_series(const CollatedSeries& series, bool ask_to_open, Dialogue& dialogue,
                   RunProgress& progress, std::span<char> spare_buffer) {
  const SeriesNaming& naming = series.naming;
  say_closing_messages(naming, dialogue);
  TableLayout layout(series.table);
  fail_if(layout.summary_rows(series.sums, series.last_points, series.files));
  fail_if(series.table.close());
  release_pending_output(series.table);
  progress.reach(RunProgress::Stage::table_complete);
  stop_if_interrupted();
  if (series.picture != nullptr) draw_series(series, spare_buffer);
  stop_if_interrupted();

  const std::string table_name(naming.table_name().trimmed());
  copy_table(table_name, std::string(naming.copy_name().trimmed()), progress);
  series.table.release_lock();
  stop_if_interrupted();
  // The listing and the editor are courtesies: how they end is not looked at.
  run_command(listing_command(naming.listing_pattern().trimmed()));
  stop_if_interrupted();
  if (!ask_to_open) end_run(0);
  Console& console = dialogue.console();
  console.write("\nEnter 1 to open ");
  console.write(table_name);
  dialogue.say(" in BBEdit ");
  int answer = 0;
  fail_if(dialogue.integer_answer(answer));
  if (answer == 1) run_command(open_command(table_name));
  stop_if_interrupted();
  end_run(0);
}

}  // namespace tovel
