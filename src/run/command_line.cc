#include "run/command_line.h"

#include <unistd.h>

#include <algorithm>

#include "base/byte_class.h"
#include "base/version.h"
#include "native/native_file.h"
#include "plot/series_picture.h"
#include "run/naming.h"

namespace tovel {

std::string usage_text() {
  const std::string files = std::to_string(kMinFiles) + " to " + std::to_string(kMaxFiles);
  const std::string points = std::to_string(kDefaultMaxPoints);
  const std::string curves = std::to_string(kMaxDrawnCurves);
  return "Usage: tovel [OPTION]... [FIRST-NAME [COUNT]]\n"
         "  or:  tovel [OPTION]... --files FILE...\n"
         "\n"
         "Collates a numbered series of data files, PREFIX0001.DAT, PREFIX0002.DAT, ...,\n"
         "into one table. FIRST-NAME is the first file's name or the prefix alone;\n"
         "COUNT is the number of files, " +
         files +
         ". What is not given is asked for on\n"
         "standard input, and so is, at the end, whether to open the table in BBEdit\n"
         "(1 opens it).\n"
         "\n"
         "With --files, collates the FILEs named, " +
         files +
         ", in the order given, whatever\n"
         "their names (ls -v lists numbered names in order). PREFIX is the beginning\n"
         "their names share, less the digits and the _ - . it ends in, or -o PREFIX;\n"
         "rows are labelled by the files' names without extensions. A FILE without a\n"
         "text extension (.DAT .txt .csv .tsv .xy .xye, or none) is an instrument file,\n"
         "read through xylib in the format it recognises (Bruker RAW, XRDML, SPE, ...).\n"
         "\n"
         "Data files of a numbered series:\n"
         "  - are numbered with four digits from 0001: S0001.DAT, S0002.DAT, ...\n"
         "  - end in upper-case .DAT, whatever FIRST-NAME says\n"
         "  - have names of at most " +
         std::to_string(Name::size()) +
         " characters\n"
         "  - may hold comment lines (# first) and, with --skip, header lines\n"
         "  - hold one point per line: x, y and an optional third value\n"
         "\n"
         "Files written:\n"
         "  All_PREFIX.txt  the table, tab-separated: the first file's x values; each\n"
         "                  file's y values and peak; the mean, standard deviation and\n"
         "                  CV % of each column\n"
         "  All_PREFIX.csv  a copy of the table, tab-separated too; with --csv, the\n"
         "                  table as comma-separated values\n"
         "  All_PREFIX.svg  with --plot, a picture of the series: each file's curve\n"
         "                  (above " +
         curves +
         " files, the lowest and highest y), the mean, the\n"
         "                  band of one standard deviation around it, and the peaks\n"
         "\n"
         "Options:\n"
         "  -C, --directory DIR  run in DIR: read the data files and write the table\n"
         "                       there\n"
         "      --files          collate the FILEs named, in the order given\n"
         "  -o, --output PREFIX  with --files, write All_PREFIX.txt, .csv and .svg\n"
         "      --format NAME    read every data file in format NAME, one that\n"
         "                       --list-formats prints; text is Tovel's own\n"
         "      --block N        read block N (from 1) of an instrument file of several\n"
         "      --list-formats   print the formats --format takes and exit\n"
         "      --skip N         skip the first N lines (0 to " +
         std::to_string(kMaxSkip) +
         ") of every data file\n"
         "      --columns X,Y    read x from the X-th value of each line and y from the\n"
         "                       Y-th (by default 1,2); X 0 numbers the points 1, 2, 3, ...\n"
         "      --decimal-comma  read commas as decimal marks, with semicolons, blanks\n"
         "                       or tabs between values\n"
         "  -n, --no-open        answer the last question with 0, without asking\n"
         "  -j, --jobs N         read the data files on N threads (1 to " +
         std::to_string(kMaxJobs) +
         "; by default\n"
         "                       the processors, up to " +
         std::to_string(kDefaultMaxJobs) +
         ")\n"
         "      --max-points N   let a data file hold up to N points (1 to " +
         std::to_string(kMostMaxPoints) +
         ";\n"
         "                       by default " +
         points + ", and " + std::to_string(kMostMaxPoints) +
         " with --files)\n"
         "      --digits N       write the table's numbers with N significant digits\n"
         "                       (" +
         std::to_string(kLeastDigits) + " to " + std::to_string(kMostDigits) + "; by default " +
         std::to_string(kLeastDigits) +
         ")\n"
         "      --csv            write All_PREFIX.csv as comma-separated values, with\n"
         "                       semicolons and decimal commas with --decimal-comma\n"
         "      --transpose      turn the tables: x down the first column, a column\n"
         "                       for each file, then the statistics' columns\n"
         "      --plot           also draw the series, in All_PREFIX.svg\n"
         "  -h, --help           print this text and exit\n"
         "  -V, --version        print the version and exit\n"
         "  --                   end the options, as before a prefix that begins with -\n"
         "\n"
         "Exit status:\n"
         "  0  the table and its copy are complete\n"
         "  1  an orderly stop: the first data file is missing, or a file holds more\n"
         "     points than --max-points allows\n"
         "  2  a run-time error, reported on standard error, or a refused command line\n"
         "\n"
         "Full documentation: man tovel\n";
}

std::string banner_text() {
  return "Tovel v" + std::string(kVersionNumber) + " - collates a numbered series of data files";
}

std::string formats_text() {
  std::string text = "text            Tovel's own text data files\n";
  for (const NativeFormat& format : native_formats()) {
    text += format.name + std::string(format.name.size() < 16 ? 16 - format.name.size() : 1, ' ') +
            format.description + "\n";
  }
  return text;
}

std::string version_text() {
  const std::string formats = native_formats_built_in()
                                  ? "instrument formats read through " + native_formats_version()
                                  : "text data files only: no instrument formats";
  return "tovel " + std::string(kVersionNumber) + "\n" + formats +
         "\n"
         "Copyright (c) 2026 the Tovel developers\n"
         "License MIT <https://opensource.org/licenses/MIT>: free to use, change and share.\n";
}

namespace {

// Reads the words of a command line one by one.
class OptionReader {
 public:
  OptionReader(int argc, const char* const* argv, CommandLine& line)
      : argc_(argc), argv_(argv), line_(line) {}
  void read();

 private:
  bool refuse(std::string text) {
    line_.action = CommandLine::Action::refuse;
    line_.refusal = std::move(text);
    return false;
  }
  bool operand(const char* word);
  // Refuses operands that do not fit the mode: at most FIRST-NAME and COUNT,
  // or 2 to 9999 data files with --files.
  void check_operands();
  bool long_option(std::string_view word);
  bool short_options(std::string_view cluster);
  // The value of option `name`: `attached` when the option's word holds it,
  // else the next word. None is refused, unless the value is a `number`,
  // whose refusal whole_number gives.
  const char* value_of(std::string_view name, const char* attached, bool number = false);
  // A whole number from `least` to `most` for option `name`, or a refusal,
  // which says what the option takes; `value` may be missing (nullptr).
  bool whole_number(const char* value, std::string_view name, int least, int most, int& number);
  // The columns of x and y, "X,Y", or a refusal; `value` may be missing.
  bool columns(const char* value);
  // The format of every data file, `text` or one of xylib's, or a refusal.
  bool format(const char* value);
  bool stop() const { return line_.action != CommandLine::Action::run; }

  int argc_;
  const char* const* argv_;
  int next_ = 1;
  CommandLine& line_;
};

bool is_option(std::string_view word) {
  return word.size() > 1 && word[0] == '-' && !in_class(word[1], kDigit);
}

void OptionReader::read() {
  bool options_ended = false;
  while (next_ < argc_ && !stop()) {
    const char* const word = argv_[next_++];
    const std::string_view text = word;
    if (options_ended || !is_option(text)) {
      operand(word);
    } else if (text == "--") {
      options_ended = true;
    } else if (text.starts_with("--")) {
      long_option(text.substr(2));
    } else {
      short_options(text.substr(1));
    }
  }
  if (!stop()) check_operands();
}

bool OptionReader::operand(const char* word) {
  line_.operands.push_back(word);
  return true;
}

void OptionReader::check_operands() {
  const auto count = static_cast<int>(line_.operands.size());
  if (line_.listed_files) {
    if (count < kMinFiles || count > kMaxFiles) {
      refuse("--files takes " + std::to_string(kMinFiles) + " to " + std::to_string(kMaxFiles) +
             " data files");
    }
  } else if (line_.output != nullptr) {
    refuse("--output names the outputs of --files");
  } else if (count > 2) {
    refuse("too many arguments");
  }
}

const char* OptionReader::value_of(std::string_view name, const char* attached, bool number) {
  if (attached != nullptr) return attached;
  if (next_ < argc_) return argv_[next_++];
  if (!number) refuse("option '" + std::string(name) + "' needs a value");
  return nullptr;
}

// The whole number that `text` writes in at most nine digits, or -1.
int whole_number_in(std::string_view text) {
  const bool digits =
      !text.empty() && text.size() <= 9 &&
      std::all_of(text.begin(), text.end(), [](char c) { return in_class(c, kDigit); });
  return digits ? std::stoi(std::string(text)) : -1;
}

bool OptionReader::whole_number(const char* value, std::string_view name, int least, int most,
                                int& number) {
  const int given = whole_number_in(value != nullptr ? value : "");
  if (given < least || given > most) {
    return refuse(std::string(name) + " takes a whole number from " + std::to_string(least) +
                  " to " + std::to_string(most));
  }
  number = given;
  return true;
}

bool OptionReader::columns(const char* value) {
  const std::string_view text = value != nullptr ? value : "";
  const std::size_t comma = text.find(',');
  const int x = comma == std::string_view::npos ? -1 : whole_number_in(text.substr(0, comma));
  const int y = comma == std::string_view::npos ? -1 : whole_number_in(text.substr(comma + 1));
  if (x < 0 || x > kMostColumns || y < 1 || y > kMostColumns) {
    return refuse("--columns takes two whole numbers X,Y, X from 0 to " +
                  std::to_string(kMostColumns) + " and Y from 1 to " +
                  std::to_string(kMostColumns));
  }
  line_.reading.line_rules.x_column = x;
  line_.reading.line_rules.y_column = y;
  return true;
}

bool OptionReader::format(const char* value) {
  if (value == nullptr) return false;
  const std::string name = value;
  line_.format_given = true;
  if (name == "text") {
    line_.reading.instruments = FileReading::Instruments::none;
    return true;
  }
  // A build without xylib refuses every other format once the run starts.
  if (native_formats_built_in() && !is_native_format(name)) {
    return refuse("unknown format '" + name + "'; tovel --list-formats lists them");
  }
  line_.reading.instruments = FileReading::Instruments::all;
  line_.reading.format = name;
  return true;
}

bool OptionReader::long_option(std::string_view word) {
  const std::size_t equals = word.find('=');
  const std::string_view name = word.substr(0, equals);
  const char* const attached =
      equals == std::string_view::npos ? nullptr : word.data() + equals + 1;
  const std::string shown = "--" + std::string(name);
  const auto flag = [&](bool& set) {
    if (attached != nullptr) return refuse("option '" + shown + "' takes no value");
    set = true;
    return true;
  };
  bool unused = false;
  if (name == "help") line_.action = CommandLine::Action::help;
  if (name == "version") line_.action = CommandLine::Action::version;
  if (name == "help" || name == "version") return flag(unused);
  if (name == "plot") return flag(line_.plot);
  if (name == "csv") return flag(line_.csv);
  if (name == "transpose") return flag(line_.transpose);
  if (name == "no-open") return flag(line_.no_open);
  if (name == "files") return flag(line_.listed_files);
  if (name == "list-formats") {
    line_.action = CommandLine::Action::list_formats;
    return flag(unused);
  }
  if (name == "format") return format(value_of(shown, attached));
  if (name == "block") {
    line_.reading.block_given = true;
    return whole_number(value_of(shown, attached, true), "--block", 1, kMostBlocks,
                        line_.reading.block);
  }
  if (name == "output") {
    line_.output = value_of(shown, attached);
    return line_.output != nullptr;
  }
  if (name == "decimal-comma") return flag(line_.reading.line_rules.decimal_comma);
  if (name == "columns") return columns(value_of(shown, attached, true));
  if (name == "directory") {
    line_.directory = value_of(shown, attached);
    return line_.directory != nullptr;
  }
  if (name == "skip") {
    return whole_number(value_of(shown, attached, true), "--skip", 0, kMaxSkip,
                        line_.reading.lines_to_skip);
  }
  if (name == "max-points") {
    line_.reading.max_points_given = true;
    return whole_number(value_of(shown, attached, true), "--max-points", 1, kMostMaxPoints,
                        line_.reading.max_points);
  }
  if (name == "digits") {
    int digits = kLeastDigits;
    if (!whole_number(value_of(shown, attached, true), "--digits", kLeastDigits, kMostDigits,
                      digits)) {
      return false;
    }
    line_.reading.field = NumberField(digits);
    return true;
  }
  if (name == "jobs") {
    return whole_number(value_of(shown, attached, true), "--jobs", 1, kMaxJobs, line_.jobs);
  }
  return refuse("unknown option '--" + std::string(word.substr(0, equals)) + "'");
}

bool OptionReader::short_options(std::string_view cluster) {
  for (std::size_t i = 0; i < cluster.size(); ++i) {
    const char c = cluster[i];
    const char* const rest = i + 1 < cluster.size() ? cluster.data() + i + 1 : nullptr;
    switch (c) {
      case 'h':
        line_.action = CommandLine::Action::help;
        return true;
      case 'V':
        line_.action = CommandLine::Action::version;
        return true;
      case 'n':
        line_.no_open = true;
        break;
      case 'C':
        line_.directory = value_of("-C", rest);
        return line_.directory != nullptr;
      case 'o':
        line_.output = value_of("-o", rest);
        return line_.output != nullptr;
      case 'j':
        return whole_number(value_of("-j", rest, true), "--jobs", 1, kMaxJobs, line_.jobs);
      default:
        return refuse("unknown option '-" + std::string(1, c) + "'");
    }
  }
  return true;
}

}  // namespace

int default_jobs() {
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return static_cast<int>(std::clamp(online, 1L, long{kDefaultMaxJobs}));
}

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine line;
  OptionReader(argc, argv, line).read();
  return line;
}

}  // namespace tovel
