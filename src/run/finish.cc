#include "run/finish.h"

#include <string>

#include "output/csv_table.h"
#include "output/shell_commands.h"
#include "output/transposed_table.h"
#include "plot/picture_file.h"

namespace tovel {
namespace {

// The shell commands of the finish, each run once everything written
// before it is written out, so that the command's own output follows it.
class Commands {
 public:
  Commands(const Shell& shell, RunEnding& ending) : shell_(shell), ending_(ending) {}

  CommandStatus run(const std::string& command) {
    ending_.fail_if(ending_.write_out_pending_output());
    return shell_(command);
  }

 private:
  const Shell& shell_;
  RunEnding& ending_;
};

// Copies the finished table; a copy that fails ends the run with the report.
void copy_table(const std::string& table, const std::string& copy, Commands& commands,
                const SeriesRun& run) {
  run.progress.reach(RunProgress::Stage::copying);
  const CommandStatus status = commands.run(copy_command(table, copy));
  if (!status.succeeded()) {
    run.ending.fail({.file = copy,
                     .what = "cp " + status.description(),
                     .message = "Cannot copy file '" + table + "' to '" + copy + "'",
                     .kind = FailureKind::command});
  }
  run.progress.reach(RunProgress::Stage::copied);
}

// Writes the turned csv file in place of the copy, as the table is
// written: cut just before its first bytes, whatever way the run ends.
void write_turned_csv_file(const CollatedSeries& series, std::span<char> buffer,
                           const SeriesRun& run) {
  const SeriesNaming& naming = series.naming;
  run.progress.reach(RunProgress::Stage::copying);
  if (naming.copy_name() == naming.table_name()) {
    run.ending.fail(
        write_failure(naming.copy_name(), "is the table's own name", 0,
                      "Cannot write file '" + shown_name(naming.copy_name()) + "' over the table"));
  }
  TableWriter csv(buffer);
  run.ending.fail_if(csv.open(naming.copy_name()));
  run.ending.hold_pending_output(csv);
  const std::optional<Failure> failure = write_turned_csv(*series.held, csv);
  run.ending.fail_if(failure ? failure : csv.close());
  run.ending.let_go_of_pending_output(csv);
  run.progress.reach(RunProgress::Stage::copied);
}

// Completes the csv file written beside the table: written anew, padded,
// when a file longer than those before it came after their rows.
void finish_csv_beside_table(const CollatedSeries& series, const SeriesRun& run) {
  if (series.csv_rows->needs_padding()) {
    run.progress.reach(RunProgress::Stage::copying);
    if (series.csv.regular()) {
      run.ending.fail_if(series.csv_rows->pad_rows());
    } else {
      warn(shown_name(series.naming.copy_name()) +
           " is not a regular file, so its shorter rows are not padded to the longest");
    }
  }
  run.ending.fail_if(series.csv.close());
  run.ending.let_go_of_pending_output(series.csv);
  run.progress.reach(RunProgress::Stage::copied);
}

void say_closing_messages(const SeriesNaming& naming, Dialogue& dialogue) {
  Console& console = dialogue.console();
  console.write("\nOutput file is ");
  console.write(name_field(naming.table_name()));
  dialogue.say("\n\n");
  console.write("The txt file is for Excel(R) and ");
  console.write("the csv file is for Open Office");
  dialogue.say("\n\n");
}

// Draws the series into its picture file, once the table is closed.
void draw_series(const CollatedSeries& series, std::span<char> buffer, RunEnding& ending) {
  const SeriesNaming& naming = series.naming;
  const SeriesText text{.prefix = naming.prefix(),
                        .file_name = [&](int i) { return naming.data_name(i); }};
  ending.fail_if(write_picture_file(naming.picture_name(), naming.table_name(), *series.picture,
                                    text, buffer));
}

}  // namespace

void finish_series(const CollatedSeries& series, bool ask_to_open, const SeriesRun& run,
                   const Shell& shell, std::span<char> spare_buffer) {
  const SeriesNaming& naming = series.naming;
  RunEnding& ending = run.ending;
  Commands commands(shell, ending);
  say_closing_messages(naming, run.dialogue);
  // The columns of the last file's points and of its peak.
  ending.fail_if(
      series.rows.summary_rows(series.sums.summary(series.last_points + 2, series.files)));
  if (series.form.transposed) ending.fail_if(write_transposed_table(*series.held, series.table));
  ending.fail_if(series.table.close());
  ending.let_go_of_pending_output(series.table);
  if (series.csv_rows != nullptr) {
    finish_csv_beside_table(series, run);
  } else {
    run.progress.reach(RunProgress::Stage::table_complete);
  }
  ending.stop_if_interrupted();
  if (series.picture != nullptr) draw_series(series, spare_buffer, ending);
  ending.stop_if_interrupted();

  const std::string& table_name = naming.table_name();
  if (series.form.transposed && series.form.csv) {
    write_turned_csv_file(series, spare_buffer, run);
  } else if (!series.form.csv) {
    copy_table(table_name, naming.copy_name(), commands, run);
  }
  series.table.release_lock();
  series.csv.release_lock();
  ending.stop_if_interrupted();
  // The listing and the editor are courtesies: how they end is not looked at.
  commands.run(listing_command(naming.listing_pattern()));
  ending.stop_if_interrupted();
  if (!ask_to_open) return;
  Console& console = run.dialogue.console();
  console.write("\nEnter 1 to open ");
  console.write(shown_name(table_name));
  run.dialogue.say(" in BBEdit ");
  int answer = 0;
  ending.fail_if(run.dialogue.integer_answer(answer));
  if (answer == 1) commands.run(open_command(table_name));
  ending.stop_if_interrupted();
}

}  // namespace tovel
