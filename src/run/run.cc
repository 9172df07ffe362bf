#include "run/run.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "base/buffered_writer.h"
#include "base/byte_class.h"
#include "base/descriptor.h"
#include "base/fixed_text.h"
#include "base/input_stream.h"
#include "base/report.h"
#include "base/signals.h"
#include "collate/accumulators.h"
#include "collate/collation.h"
#include "datafile/data_file.h"
#include "output/finishing.h"
#include "output/table_layout.h"
#include "output/table_writer.h"
#include "plot/series_picture.h"
#include "plot/svg_picture.h"
#include "run/command_line.h"
#include "run/console.h"
#include "run/dialogue.h"
#include "run/hints.h"
#include "run/naming.h"
#include "run/progress.h"
#include "run/warnings.h"

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

RunProgress progress;
const TableWriter* table_in_progress = nullptr;

// A stop signal caught ends the run here, once its output is written out.
void stop_if_interrupted() {
  const int signal = caught_stop_signal();
  if (signal == 0) return;
  const bool written = table_in_progress != nullptr && table_in_progress->written_to();
  end_interrupted(signal, progress.what_the_files_hold(written));
}

// A failure ends the run with its report, unless a stop signal caused it or
// came meanwhile: the run then ends as interrupted.
[[noreturn]] void fail(const Failure& failure) {
  stop_if_interrupted();
  report_runtime_error(failure);
}

// A failure below the run ends it here.
void settle(const std::optional<Failure>& failure) {
  if (failure) fail(*failure);
}

[[noreturn]] void fail_to_open(std::string_view name, std::string_view what,
                               std::string_view reason = {}) {
  const std::string why = reason.empty() ? std::strerror(errno) : std::string(reason);
  fail({std::string(name), 0, std::string(what), "", false,
        "Cannot open file '" + shown_name(name) + "': " + why});
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
  if (read.status == ReadStatus::value_cut) {
    return {std::string(file),
            read.line_number,
            "column 80 cuts the value",
            std::string(read.bad_field()),
            true,
            "A value runs past column 80"};
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
  return names_a_path(name) && ::access(path, F_OK) == 0;
}

// The orderly stop for a missing first file, with a warning when a name in
// another case is there, and a hint when the series is there in another
// form.
[[noreturn]] void stop_at_missing_first_file(const SeriesNaming& naming, std::string_view name,
                                             Dialogue& dialogue) {
  dialogue.console().write("The first .DAT file (");
  dialogue.console().write(name);
  dialogue.say(") does not exist in this directory\n\n");
  const std::string namesake = namesake_in_other_case(name);
  if (!namesake.empty()) {
    const bool extension_only =
        namesake.substr(0, namesake.size() - 4) == name.substr(0, name.size() - 4);
    warn("found " + shown_name(namesake) +
         (extension_only ? "; data file names end in upper-case .DAT"
                         : "; data file names are matched with their case"));
  }
  if (const std::string words = hint_for_missing_first_file(naming); !words.empty()) hint(words);
  end_run(kOrderlyStop);
}

// A data file after the first that cannot be opened; a missing one gets a
// hint of where the series ends.
[[noreturn]] void fail_to_open_data_file(const SeriesNaming& naming, int i, std::string_view name) {
  const int error = errno;
  Failure failure{std::string(name),
                  0,
                  "cannot open the data file",
                  "",
                  false,
                  "Cannot open file '" + shown_name(name) + "': " + std::strerror(error)};
  if (i > 1 && error == ENOENT) failure.hint = hint_line(hint_for_missing_file(naming, i));
  fail(failure);
}

// A value refused on the first line a file offers as data, when the line is
// text without a digit: most likely a header, which --skip passes over.
Failure with_header_hint(Failure failure, const PassResult& pass) {
  const ReadOutcome& read = pass.read;
  if (read.status == ReadStatus::bad_value && pass.points == 0 && read.header_like) {
    const std::string line = std::to_string(read.line_number);
    failure.hint = hint_line(failure.file + ":" + line + " looks like a header line; --skip " +
                             line + " skips it");
  }
  return failure;
}

// The first name: the first argument, or a line typed at the prompt.
Name first_name(const CommandLine& line, Dialogue& dialogue) {
  if (line.operand_count >= 1) return Name(line.operands[0]);
  dialogue.say("Enter the first DAT file name ");
  FieldText typed;
  settle(dialogue.answer(Name::size(), false, typed));
  return Name(typed.view());
}

// Collates files 1 to k into the table; returns the last file's number of
// points. Ends the run at an orderly stop or a failure.
int collate_series(const SeriesNaming& naming, int k, int lines_to_skip, Dialogue& dialogue,
                   TableRows& rows, TableWriter& table, ColumnAccumulators& sums) {
  DataFile file(buffers.data);
  file.lines_to_skip = lines_to_skip;
  SeriesWarnings warnings(naming.file(1).fname.trimmed());
  int n = 0;
  for (int i = 1; i <= k; ++i) {
    const FileNames names = naming.file(i);
    announce_file(dialogue.console(), i, names.fname);
    const std::string_view data_name = names.fname.trimmed();
    if (i == 1 && !file_exists(data_name)) stop_at_missing_first_file(naming, data_name, dialogue);
    if (!file.open(data_name)) fail_to_open_data_file(naming, i, data_name);
    const PassResult pass =
        collate_file(i == 1, names.row_label(), file, rows, sums, buffers.values);
    switch (pass.outcome) {
      case PassOutcome::complete:
        n = pass.points;
        progress.row_written(i);
        warnings.after_file(pass, data_name);
        stop_if_interrupted();
        break;
      case PassOutcome::too_many_points:
        dialogue.say("TOO Many data per file (Max = 250)\n");
        tell(shown_name(data_name) + ":" + std::to_string(pass.line_number) +
             ": more than 250 points");
        end_run(kOrderlyStop);
      case PassOutcome::read_failed:
        fail(with_header_hint(read_failure(pass.read, data_name), pass));
      case PassOutcome::table_failed:
        fail(table.failure());
    }
  }
  warnings.at_series_end();
  return n;
}

// Copies the finished table; a copy that fails ends the run with the report.
void copy_table(const std::string& table, const std::string& copy) {
  progress.reach(RunProgress::Stage::copying);
  const CommandStatus status = run_shell_command(copy_command(table, copy));
  if (status.succeeded()) {
    progress.reach(RunProgress::Stage::copied);
    return;
  }
  fail({copy, 0, "cp " + status.description(), "", false,
        "Cannot copy file '" + table + "' to '" + copy + "'"});
}

// The closing messages, the summary rows, and the table handed to the shell.
// Draws the series into its picture file, once the table is closed.
void draw_series(const SeriesNaming& naming, const SeriesPicture& picture,
                 const ColumnAccumulators& sums, int n, int k) {
  const std::string name(naming.picture().trimmed());
  if (naming.picture().full() == naming.fname0().full()) {  // cut to the table's name
    fail({name, 0, "cannot write the picture file", "", false,
          "The picture's name, cut at 32 characters, is the table's"});
  }
  const int fd = keep_clear_of_standard_streams(
      ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd < 0) fail_to_open(name, "cannot open the picture file");
  DescriptorSink sink(fd);
  BufferedWriter out(buffers.table);  // the table's buffer: the table is closed
  out.attach(sink);
  const auto file_name = [&](int i) { return std::string(naming.file(i).fname.trimmed()); };
  const bool written = write_series_svg(picture, sums, n, k, naming.prefix(), file_name, out);
  if (!written || ::close(fd) != 0) {
    fail({name, 0, "cannot write the picture file", "", false, std::strerror(errno)});
  }
}

[[noreturn]] void finish(const SeriesNaming& naming, int n, int k, bool ask_to_open,
                         Dialogue& dialogue, TableWriter& table, const ColumnAccumulators& sums,
                         const SeriesPicture* picture) {
  Console& console = dialogue.console();
  console.write("\nOutput file is ");
  console.write(naming.fname0().full());
  dialogue.say("\n\n");
  console.write("The txt file is for Excel(R) and ");
  console.write("the csv file is for Open Office");
  dialogue.say("\n\n");

  TableLayout layout(table);
  if (!layout.summary_rows(sums, n, k) || !table.close()) fail(table.failure());
  progress.reach(RunProgress::Stage::table_complete);
  stop_if_interrupted();
  if (picture != nullptr) draw_series(naming, *picture, sums, n, k);
  stop_if_interrupted();

  const std::string table_name(naming.fname0().trimmed());
  copy_table(table_name, std::string(naming.fname1().trimmed()));
  table.release_lock();
  stop_if_interrupted();
  // The listing and the editor are courtesies: how they end is not looked at.
  run_shell_command(listing_command(naming.fname2().trimmed()));
  stop_if_interrupted();
  if (!ask_to_open) end_run(0);  // -n: the answer is 0
  console.write("\nEnter 1 to open ");
  console.write(table_name);
  dialogue.say(" in BBEdit ");
  int answer = 0;
  settle(dialogue.integer_answer(answer));
  if (answer == 1) run_shell_command(open_command(table_name));
  stop_if_interrupted();
  end_run(0);
}

}  // namespace

void run_tovel(int argc, const char* const* argv) {
  // A reader that goes away must not kill the run before it writes out the
  // table: writes to it fail with EPIPE instead, and are reported.
  catch_signals();
  Console console(STDOUT_FILENO, buffers.console);
  InputStream keyboard(buffers.keyboard, OnReadError::ends_input_while_filling);
  keyboard.attach(STDIN_FILENO);
  hold_read_ahead_input(keyboard);
  Dialogue dialogue(console, keyboard);
  TableWriter table(buffers.table);
  table_in_progress = &table;

  const CommandLine line = parse_command_line(argc, argv);
  if (line.action == CommandLine::Action::refuse) refuse_command_line(line.refusal);
  if (line.action != CommandLine::Action::run) {
    console.write(line.action == CommandLine::Action::help ? kUsage : kVersion);
    end_run(0);
  }
  if (line.directory != nullptr && ::chdir(line.directory) != 0) {
    fail({line.directory, 0, "cannot run in the directory", "", false,
          "Cannot change to directory '" + shown_name(line.directory) +
              "': " + std::strerror(errno)});
  }
  console.write("\n");
  console.write(kBanner);
  dialogue.say("\n\n");

  const SeriesNaming naming(first_name(line, dialogue));
  progress.set_naming(naming);
  if (!table.open(naming.fname0().trimmed())) {
    const std::string_view name = naming.fname0().trimmed();
    Failure failure{
        std::string(name),
        0,
        "cannot open the table file",
        "",
        false,
        "Cannot open file '" + shown_name(name) +
            "': " + (errno == EWOULDBLOCK ? "another run is writing it" : std::strerror(errno))};
    if (const std::string words = hint_for_table_elsewhere(naming); !words.empty()) {
      failure.hint = hint_line(words);
    }
    fail(failure);
  }
  console.write("\nThe prefix is ");
  console.write(naming.prefix_field().full());
  dialogue.say("\n\n");

  int k = 0;
  settle(obtain_file_count(line, dialogue, k));
  stop_if_interrupted();
  ColumnAccumulators sums;
  sums.clear();
  TableLayout layout(table);
  const bool ask_to_open = !line.no_open;
  if (!line.plot) {
    const int n = collate_series(naming, k, line.skip, dialogue, layout, table, sums);
    finish(naming, n, k, ask_to_open, dialogue, table, sums, nullptr);
  }
  SeriesPicture picture(layout, k);
  const int n = collate_series(naming, k, line.skip, dialogue, picture, table, sums);
  finish(naming, n, k, ask_to_open, dialogue, table, sums, &picture);
}

}  // namespace tovel
