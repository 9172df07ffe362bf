#include "run/run.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>

#include "base/signals.h"
#include "native/native_file.h"
#include "output/csv_rows.h"
#include "output/held_series.h"
#include "output/table_layout.h"
#include "plot/series_picture.h"
#include "run/command_line.h"
#include "run/dialogue.h"
#include "run/finish.h"
#include "run/hints.h"
#include "run/listed_files.h"
#include "run/series.h"

namespace tovel {
namespace {

// Every buffer of the run, off the stack.
struct Buffers {
  char console[4096];
  char keyboard[4096];
  char table[kTableBuffer];
  char csv[kTableBuffer];    // the csv file written beside the table
  char spare[kTableBuffer];  // the picture, then the turned csv file
};

// One run: its buffers, its standard streams and its pending output, and
// how it ends.
class Session {
 public:
  explicit Session(const RunSeams& seams)
      : seams_(seams),
        buffers_(std::make_unique_for_overwrite<Buffers>()),
        ending_(seams.stop_signal),
        console_(seams.output_fd, buffers_->console, ending_),
        keyboard_(buffers_->keyboard, OnReadError::ends_input_while_filling),
        dialogue_(console_, keyboard_) {
    ending_.hold_pending_output(console_);
    keyboard_.attach(seams.input_fd);
    ending_.hold_read_ahead_input(keyboard_);
  }

  RunEnding& ending() { return ending_; }

  // The run, to its complete end; every other ending throws RunEnded.
  void run(int argc, const char* const* argv);

 private:
  void answer_at_once(const CommandLine& line);
  void change_directory(const char* directory);
  Name first_name(const CommandLine& line);
  SeriesNaming listed_naming(const CommandLine& line, const FileReading& reading);
  FileReading file_reading(const CommandLine& line, OutputForm form);
  void open_table(TableWriter& table, const SeriesNaming& naming);
  void open_csv(TableWriter& csv, const SeriesNaming& naming, OutputForm form);
  int file_count(const CommandLine& line, const SeriesNaming& naming);

  const RunSeams& seams_;
  std::unique_ptr<Buffers> buffers_;
  RunEnding ending_;
  Console console_;
  InputStream keyboard_;
  Dialogue dialogue_;
};

// The options that print and end, or refuse the command line.
void Session::answer_at_once(const CommandLine& line) {
  switch (line.action) {
    case CommandLine::Action::run:
      return;
    case CommandLine::Action::refuse:
      ending_.refuse_command_line(line.refusal);
    case CommandLine::Action::help:
      console_.write(usage_text());
      break;
    case CommandLine::Action::version:
      console_.write(version_text());
      break;
    case CommandLine::Action::list_formats:
      console_.write(formats_text());
      break;
  }
  ending_.end_run(kCompleteRun);
}

void Session::change_directory(const char* directory) {
  if (directory == nullptr || ::chdir(directory) == 0) return;
  const int error = errno;
  ending_.fail({.file = directory,
                .what = "cannot run in the directory",
                .message = "Cannot change to directory '" + shown_name(directory) +
                           "': " + error_text(error),
                .error_number = error});
}

// The first name: the first operand, or a line typed at the prompt.
Name Session::first_name(const CommandLine& line) {
  if (!line.operands.empty()) return Name(line.operands[0]);
  dialogue_.say("Enter the first DAT file name ");
  FieldText typed;
  ending_.fail_if(dialogue_.answer(Name::size(), false, typed));
  return Name(typed.view());
}

// The names of the files that --files names, once each is found readable
// and none is an output of this run; else the refusal, before anything is
// written.
SeriesNaming Session::listed_naming(const CommandLine& line, const FileReading& reading) {
  std::vector<std::string> files(line.operands.begin(), line.operands.end());
  if (reading.instruments == FileReading::Instruments::by_extension && !native_formats_built_in() &&
      !std::all_of(files.begin(), files.end(), has_text_extension)) {
    ending_.refuse(kTextOnlyBuild);
  }
  std::string prefix = line.output != nullptr ? line.output : common_prefix(files);
  SeriesNaming naming(std::move(files), std::move(prefix));
  const std::string refusal =
      refusal_of_listed_files(naming, static_cast<int>(line.operands.size()), line.plot);
  if (!refusal.empty()) ending_.refuse(refusal);
  return naming;
}

// How the data files are read: as the options say, with the files that
// --files names read through xylib by their extensions unless --format says
// how, and the texts of their y values that the outputs' `form` needs. A
// build without xylib refuses a format of its.
FileReading Session::file_reading(const CommandLine& line, OutputForm form) {
  FileReading reading = line.reading;
  // A table turned is formatted from the values at its end; the csv's
  // fields of one not turned are made as each file is read.
  reading.y_cells = !form.transposed;
  if (form.csv_beside_table()) {
    reading.csv_separator = form.csv_separator();
    reading.csv_decimal_mark = form.csv_decimal_mark();
  }
  if (line.listed_files && !line.format_given) {
    reading.instruments = FileReading::Instruments::by_extension;
  }
  // Named and instrument files are collated whole, however long.
  if (line.listed_files && !reading.max_points_given) reading.max_points = kMostMaxPoints;
  if (reading.instruments == FileReading::Instruments::all && !native_formats_built_in()) {
    ending_.refuse(kTextOnlyBuild);
  }
  return reading;
}

// Opens the table; a prefix that holds a directory gets a hint on failure.
void Session::open_table(TableWriter& table, const SeriesNaming& naming) {
  std::optional<Failure> failure = table.open(naming.table_name());
  if (!failure) return;
  if (const std::string words = hint_for_table_elsewhere(naming); !words.empty()) {
    failure->hint = hint_line(words);
  }
  ending_.fail(*failure);
}

// With --csv: refuses a csv file whose name, cut at 32 characters, is the
// table's, before anything is written; opens the one written beside the
// table.
void Session::open_csv(TableWriter& csv, const SeriesNaming& naming, OutputForm form) {
  const std::string& name = naming.copy_name();
  if (name == naming.table_name()) {
    ending_.fail(write_failure(name, "is the table's own name", 0,
                               "Cannot write file '" + shown_name(name) + "' over the table"));
  }
  if (!form.csv_beside_table()) return;
  ending_.fail_if(csv.open(name));
  ending_.hold_pending_output(csv);
}

// The number of files: the names --files gives, with a warning when their
// running numbers do not increase; else the count argument or the answer.
int Session::file_count(const CommandLine& line, const SeriesNaming& naming) {
  int k = static_cast<int>(line.operands.size());
  if (naming.listed()) {
    if (const std::string words = order_warning(naming, k); !words.empty()) warn(words);
  } else {
    ending_.fail_if(obtain_file_count(line, dialogue_, k));
  }
  ending_.stop_if_interrupted();
  return k;
}

void Session::run(int argc, const char* const* argv) {
  const CommandLine line = parse_command_line(argc, argv);
  answer_at_once(line);
  change_directory(line.directory);
  const OutputForm form{.csv = line.csv,
                        .transposed = line.transpose,
                        .decimal_comma = line.reading.line_rules.decimal_comma};
  const FileReading reading = file_reading(line, form);
  std::optional<SeriesNaming> listed;
  if (line.listed_files) listed.emplace(listed_naming(line, reading));

  console_.write("\n" + banner_text());
  dialogue_.say("\n\n");
  const SeriesNaming naming = listed ? std::move(*listed) : SeriesNaming(first_name(line));
  TableWriter table(buffers_->table);
  table.set_number_field(reading.field);
  open_table(table, naming);
  ending_.hold_pending_output(table);
  TableWriter csv(buffers_->csv);
  if (form.csv) open_csv(csv, naming, form);
  RunProgress progress(naming, table, form.csv, form.csv_beside_table() ? &csv : nullptr);
  ending_.watch_progress(progress);
  console_.write("\nThe prefix is ");
  console_.write(name_field(naming.prefix()));
  dialogue_.say("\n\n");

  const int k = file_count(line, naming);
  ColumnAccumulators sums;
  sums.clear();
  TableLayout layout(table, naming.label_width());
  TableRows* table_rows = &layout;
  std::optional<HeldSeries> held;   // --transpose: the series, for the table turned at its end
  std::optional<CsvRows> csv_rows;  // --csv: each row in the csv file too
  if (form.transposed) {
    table_rows = &held.emplace(form, reading.field, k, table);
  } else if (form.csv) {
    table_rows = &csv_rows.emplace(layout, csv, form, reading.field);
  }
  std::optional<SeriesPicture> picture;  // with --plot, gathered on the way to the table
  if (line.plot) picture.emplace(*table_rows, k);
  TableRows& rows = picture ? static_cast<TableRows&>(*picture) : *table_rows;
  const SeriesRun series_run{.dialogue = dialogue_, .progress = progress, .ending = ending_};
  const int n = collate_series(naming, k, reading, line.jobs, rows, sums, series_run, form);
  finish_series({.naming = naming,
                 .files = k,
                 .last_points = n,
                 .sums = sums,
                 .rows = rows,
                 .table = table,
                 .picture = picture ? &*picture : nullptr,
                 .held = held ? &*held : nullptr,
                 .csv_rows = csv_rows ? &*csv_rows : nullptr,
                 .csv = csv,
                 .form = form},
                !line.no_open, series_run, seams_.shell, buffers_->spare);
  ending_.end_run(kCompleteRun);
}

}  // namespace

RunEnded run_session(int argc, const char* const* argv, const RunSeams& seams) {
  Session session(seams);
  RunEnded ended;
  try {
    session.run(argc, argv);
  } catch (const RunEnded& end) {
    ended = end;
  }
  session.ending().give_back_read_ahead_input();
  return ended;
}

int run_tovel(int argc, const char* const* argv) {
  catch_signals();
  const RunSeams seams{.output_fd = STDOUT_FILENO,
                       .input_fd = STDIN_FILENO,
                       .stop_signal = caught_stop_signal,
                       .shell = run_shell_command};
  const RunEnded ended = run_session(argc, argv, seams);
  if (ended.signal != 0) end_by_signal(ended.signal);
  return ended.status;
}

}  // namespace tovel
