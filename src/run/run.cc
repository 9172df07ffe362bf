#include "run/run.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <string>

#include "base/fixed_text.h"
#include "base/input_stream.h"
#include "base/report.h"
#include "collate/accumulators.h"
#include "collate/collation.h"
#include "datafile/data_file.h"
#include "output/finishing.h"
#include "output/table_layout.h"
#include "output/table_writer.h"
#include "run/console.h"
#include "run/dialogue.h"
#include "run/naming.h"

namespace tovel {
namespace {

constexpr std::string_view kBanner = "Tovel v1.0.1 - collates a numbered series of data files";
constexpr int kOrderlyStop = 1;

// Every buffer of the run, off the stack.
struct Buffers {
  char console[4096];
  char keyboard[4096];
  char table[1 << 16];
  char data[1 << 16];
  FileValues values;
};
Buffers buffers;

// A failure below the run ends it here.
void settle(const std::optional<Failure>& failure) {
  if (failure) report_runtime_error(*failure);
}

[[noreturn]] void fail_to_open(std::string_view name, std::string_view what) {
  report_runtime_error({std::string(name), 0, std::string(what), "", false,
                        "Cannot open file '" + std::string(name) + "': " + std::strerror(errno)});
}

Failure read_failure(const ReadOutcome& read, std::string_view file) {
  if (read.status == ReadStatus::bad_value) {
    return {std::string(file),
            read.line_number,
            "cannot read a number from",
            std::string(read.bad_field()),
            true,
            "Bad value during floating point read"};
  }
  return {std::string(file),
          read.line_number,
          "cannot read the data file",
          "",
          false,
          std::string(read.failure_text)};
}

void announce_file(Console& out, int i, const Name& fname) {
  char number[6] = "     ";
  for (int p = 4, v = i; p >= 0 && v > 0; --p, v /= 10)
    number[p] = static_cast<char>('0' + v % 10);
  out.write("Input file ");
  out.write({number, 5});
  out.write(" is ");
  out.write(fname.full());
  out.write("\n");
  out.end_message();
}

bool file_exists(std::string_view name) {
  char path[Name::size() + 1] = {};
  name.copy(path, Name::size());
  return ::access(path, F_OK) == 0;
}

// The first name: the first argument, or a line typed at the prompt.
Name first_name(int narg, const char* const* argv, Dialogue& dialogue) {
  if (narg >= 1) return Name(argv[1]);
  dialogue.say("Enter the first DAT file name ");
  FieldText typed;
  settle(dialogue.answer(Name::size(), false, typed));
  return Name(typed.view());
}

// Collates files 1 to k into the table; returns the last file's number of
// points. Ends the run at an orderly stop or a failure.
int collate_series(const SeriesNaming& naming, int k, Dialogue& dialogue, TableWriter& table,
                   ColumnAccumulators& sums) {
  DataFile file(buffers.data);
  TableLayout layout(table);
  int n = 0;
  for (int i = 1; i <= k; ++i) {
    const FileNames names = naming.file(i);
    announce_file(dialogue.console(), i, names.fname);
    const std::string_view data_name = names.fname.trimmed();
    if (i == 1 && !file_exists(data_name)) {
      dialogue.console().write("The first .DAT file (");
      dialogue.console().write(data_name);
      dialogue.say(") does not exist in this directory\n\n");
      end_run(kOrderlyStop);
    }
    if (!file.open(data_name)) fail_to_open(data_name, "cannot open the data file");
    const PassResult pass =
        collate_file(i == 1, names.row_label(), file, layout, sums, buffers.values);
    switch (pass.outcome) {
      case PassOutcome::complete:
        n = pass.points;
        break;
      case PassOutcome::too_many_points:
        dialogue.say("TOO Many data per file (Max = 250)\n");
        end_run(kOrderlyStop);
      case PassOutcome::read_failed:
        report_runtime_error(read_failure(pass.read, data_name));
      case PassOutcome::table_failed:
        report_runtime_error(table.failure());
    }
  }
  return n;
}

// The closing messages, the summary rows, and the table handed to the shell.
[[noreturn]] void finish(const SeriesNaming& naming, int n, int k, Dialogue& dialogue,
                         TableWriter& table, const ColumnAccumulators& sums) {
  Console& console = dialogue.console();
  console.write("\nOutput file is ");
  console.write(naming.fname0().full());
  dialogue.say("\n\n");
  console.write("The txt file is for Excel(R) and ");
  console.write("the csv file is for Open Office");
  dialogue.say("\n\n");

  TableLayout layout(table);
  if (!layout.summary_rows(sums, n, k) || !table.close()) report_runtime_error(table.failure());

  const std::string_view table_name = naming.fname0().trimmed();
  run_shell_command(copy_command(table_name, naming.fname1().trimmed()));
  run_shell_command(listing_command(naming.fname2().trimmed()));
  console.write("\nEnter 1 to open ");
  console.write(table_name);
  dialogue.say(" in BBEdit ");
  int answer = 0;
  settle(dialogue.integer_answer(answer));
  if (answer == 1) run_shell_command(open_command(table_name));
  end_run(0);
}

}  // namespace

void run_tovel(int argc, const char* const* argv) {
  // A reader that goes away must not kill the run before it writes out the
  // table: writes to it fail with EPIPE instead, and are reported.
  std::signal(SIGPIPE, SIG_IGN);
  Console console(STDOUT_FILENO, buffers.console);
  InputStream keyboard(buffers.keyboard, OnReadError::ends_input_while_filling);
  keyboard.attach(STDIN_FILENO);
  Dialogue dialogue(console, keyboard);
  TableWriter table(buffers.table);

  console.write("\n");
  console.write(kBanner);
  dialogue.say("\n\n");

  const int narg = argc - 1;
  const SeriesNaming naming(first_name(narg, argv, dialogue));
  if (!table.open(naming.fname0().trimmed())) {
    fail_to_open(naming.fname0().trimmed(), "cannot open the table file");
  }
  console.write("\nThe prefix is ");
  console.write(naming.prefix_field().full());
  dialogue.say("\n\n");

  int k = 0;
  settle(obtain_file_count(narg, argv, dialogue, k));
  ColumnAccumulators sums;
  sums.clear();
  const int n = collate_series(naming, k, dialogue, table, sums);
  finish(naming, n, k, dialogue, table, sums);
}

}  // namespace tovel
