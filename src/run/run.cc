#include "run/run.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "base/signals.h"
#include "output/table_layout.h"
#include "plot/series_picture.h"
#include "run/command_line.h"
#include "run/dialogue.h"
#include "run/ending.h"
#include "run/finish.h"
#include "run/hints.h"
#include "run/series.h"

namespace tovel {
namespace {

// Every buffer of the run, off the stack.
struct Buffers {
  char console[4096];
  char keyboard[4096];
  char table[1 << 16];
  char picture[1 << 16];
};
Buffers buffers;

// The options that print and end, or refuse the command line.
void answer_at_once(const CommandLine& line, Console& console) {
  switch (line.action) {
    case CommandLine::Action::run:
      return;
    case CommandLine::Action::refuse:
      refuse_command_line(line.refusal);
    case CommandLine::Action::help:
      console.write(usage_text());
      break;
    case CommandLine::Action::version:
      console.write(version_text());
      break;
  }
  end_run(0);
}

void change_directory(const char* directory) {
  if (directory == nullptr || ::chdir(directory) == 0) return;
  const int error = errno;
  fail({.file = directory,
        .what = "cannot run in the directory",
        .message =
            "Cannot change to directory '" + shown_name(directory) + "': " + error_text(error),
        .error_number = error});
}

// The first name: the first operand, or a line typed at the prompt.
Name first_name(const CommandLine& line, Dialogue& dialogue) {
  if (line.operand_count >= 1) return Name(line.operands[0]);
  dialogue.say("Enter the first DAT file name ");
  FieldText typed;
  fail_if(dialogue.answer(Name::size(), false, typed));
  return Name(typed.view());
}

// Opens the table; a prefix that holds a directory gets a hint on failure.
void open_table(TableWriter& table, const SeriesNaming& naming) {
  std::optional<Failure> failure = table.open(naming.table_name().trimmed());
  if (!failure) return;
  if (const std::string words = hint_for_table_elsewhere(naming); !words.empty()) {
    failure->hint = hint_line(words);
  }
  fail(*failure);
}

}  // namespace

void run_tovel(int argc, const char* const* argv) {
  catch_signals();
  Console console(STDOUT_FILENO, buffers.console);
  hold_pending_output(console);
  const CommandLine line = parse_command_line(argc, argv);
  answer_at_once(line, console);
  change_directory(line.directory);
  InputStream keyboard(buffers.keyboard, OnReadError::ends_input_while_filling);
  keyboard.attach(STDIN_FILENO);
  hold_read_ahead_input(keyboard);
  Dialogue dialogue(console, keyboard);

  console.write("\n" + banner_text());
  dialogue.say("\n\n");
  const SeriesNaming naming(first_name(line, dialogue));
  TableWriter table(buffers.table);
  table.set_number_field(NumberField(line.digits));
  open_table(table, naming);
  hold_pending_output(table);
  RunProgress progress(naming, table);
  watch_progress(progress);
  console.write("\nThe prefix is ");
  console.write(naming.prefix_field().full());
  dialogue.say("\n\n");

  int k = 0;
  fail_if(obtain_file_count(line, dialogue, k));
  stop_if_interrupted();
  ColumnAccumulators sums;
  sums.clear();
  TableLayout layout(table);
  std::optional<SeriesPicture> picture;  // with --plot, gathered on the way to the table
  if (line.plot) picture.emplace(layout, k);
  TableRows& rows = picture ? static_cast<TableRows&>(*picture) : layout;
  const ReadingSettings reading{.jobs = line.jobs,
                                .lines_to_skip = line.skip,
                                .line_rules = line.line_rules,
                                .max_points = line.max_points,
                                .max_points_given = line.max_points_given,
                                .field = table.number_field()};
  const int n = collate_series(naming, k, reading, dialogue, rows, sums, progress);
  finish_series({.naming = naming,
                 .files = k,
                 .last_points = n,
                 .sums = sums,
                 .table = table,
                 .picture = picture ? &*picture : nullptr},
                !line.no_open, dialogue, progress, buffers.picture);
}

}  // namespace tovel
