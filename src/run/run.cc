#include "run/run.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "collate/accumulators.h"
#include "collate/collation.h"
#include "datafile/data_file.h"
#include "fields/fixed_text.h"
#include "fields/input_stream.h"
#include "fields/integer_field.h"
#include "output/finishing.h"
#include "output/summary_rows.h"
#include "output/table_writer.h"
#include "run/console.h"
#include "run/naming.h"
#include "run/report.h"

namespace tovel {
namespace {

constexpr std::string_view kBanner = "Tovel v1.0.1 - collates a numbered series of data files";
constexpr int kMinFiles = 2;
constexpr int kMaxFiles = 9999;
constexpr int kOrderlyStop = 1;

// The console dialogue: messages to standard output, answers from standard
// input, one line per answer.
class Dialogue {
 public:
  explicit Dialogue(Console& console)
      : console_(console), keyboard_(keyboard_buffer_, OnReadError::ends_input_while_filling) {
    keyboard_.attach(STDIN_FILENO);
  }

  void say(std::string_view text) {
    console_.write(text);
    console_.end_message();
  }

  // The field of the next line typed; the end of input ends the run.
  FieldText answer(std::size_t width, bool numeric) {
    FieldText field;
    const TakeStatus status = take_field(keyboard_, width, numeric, field);
    const long line = keyboard_.lines_taken() + 1;
    if (status == TakeStatus::end_of_input) {
      report_runtime_error({"standard input", line, "no line left to read"}, "End of file");
    }
    if (status == TakeStatus::failed) {
      report_runtime_error({"standard input", line, "cannot read"}, keyboard_.failure_text());
    }
    return field;
  }

  // An I5 integer field typed on the next line.
  int integer_answer() {
    const FieldText field = answer(kIntegerFieldWidth, true);
    const IntegerFieldResult r = decode_integer_field(field.view());
    if (!r.ok) {
      report_runtime_error({"standard input", keyboard_.lines_taken(),
                            "cannot read an integer from", field.view(), true},
                           "Bad value during integer read");
    }
    return r.value;
  }

 private:
  Console& console_;
  char keyboard_buffer_[4096] = {};
  InputStream keyboard_;
};

bool acceptable_count(int k) {
  return k >= kMinFiles && k <= kMaxFiles;
}

// The file count, from the second argument if there is one, else asked for
// until an acceptable count is typed. An argument outside 2 to 9999 is
// refused with a message, and the count is then asked for.
int obtain_file_count(int narg, const char* const* argv, Dialogue& dialogue) {
  if (narg > 1) {
    const FixedText<40> int_file(argv[2]);
    const std::string_view field = take_stored_field(int_file.full(), kIntegerFieldWidth);
    const IntegerFieldResult r = decode_integer_field(field);
    if (!r.ok) {
      report_runtime_error({"argument 2", 0, "cannot read an integer from", field, true},
                           "Bad value during integer read");
    }
    if (acceptable_count(r.value)) return r.value;
    dialogue.say("\nThe number of DAT files must be from 2 to 9999\n");
  }
  for (;;) {
    dialogue.say("\nEnter the number of DAT files ");
    const int k = dialogue.integer_answer();
    if (acceptable_count(k)) return k;
  }
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

[[noreturn]] void fail_to_open(std::string_view name) {
  const std::string message =
      "Cannot open file '" + std::string(name) + "': " + std::strerror(errno);
  report_runtime_error({name, 0, "cannot open the data file"}, message);
}

}  // namespace

void run_tovel(int argc, const char* const* argv) {
  // A reader that goes away must not kill the run before it writes out the
  // table: writes to it fail with EPIPE instead, and are reported.
  std::signal(SIGPIPE, SIG_IGN);
  Console console(STDOUT_FILENO);
  Dialogue dialogue(console);
  TableWriter table;
  static char data_buffer[1 << 16];
  DataFile file(data_buffer);

  console.write("\n");
  console.write(kBanner);
  dialogue.say("\n\n");

  const int narg = argc - 1;
  Name dname;
  if (narg < 1) {
    dialogue.say("Enter the first DAT file name ");
    dname.assign(dialogue.answer(Name::size(), false).view());
  } else {
    dname.assign(argv[1]);
  }
  const SeriesNaming naming(dname);
  table.open(naming.fname0().trimmed());
  console.write("\nThe prefix is ");
  console.write(naming.prefix_field().full());
  dialogue.say("\n\n");

  const int k = obtain_file_count(narg, argv, dialogue);
  ColumnAccumulators sums;
  sums.clear();
  int n = 0;
  for (int i = 1; i <= k; ++i) {
    const FileNames names = naming.file(i);
    announce_file(console, i, names.fname);
    const std::string_view data_name = names.fname.trimmed();
    if (i == 1 && !file_exists(data_name)) {
      console.write("The first .DAT file (");
      console.write(data_name);
      dialogue.say(") does not exist in this directory\n\n");
      end_run(kOrderlyStop);
    }
    if (!file.open(data_name)) fail_to_open(data_name);
    if (collate_file(i, names, file, table, sums, n) == PassOutcome::too_many_points) {
      dialogue.say("TOO Many data per file (Max = 250)\n");
      end_run(kOrderlyStop);
    }
  }

  console.write("\nOutput file is ");
  console.write(naming.fname0().full());
  dialogue.say("\n\n");
  console.write("The txt file is for Excel(R) and ");
  console.write("the csv file is for Open Office");
  dialogue.say("\n\n");

  write_summary_rows(table, sums, n, k);
  table.close();

  run_shell_command(copy_command(naming.fname0(), naming.fname1()));
  run_shell_command(listing_command(naming.fname2()));
  console.write("\nEnter 1 to open ");
  console.write(naming.fname0().trimmed());
  dialogue.say(" in BBEdit ");
  if (dialogue.integer_answer() == 1) run_shell_command(open_command(naming.fname0()));
  end_run(0);
}

}  // namespace tovel
