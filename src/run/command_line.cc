#include "run/command_line.h"

namespace tovel {

const std::string_view kUsage =
    "Usage: tovel [--plot] [FIRST-NAME [COUNT]]\n"
    "\n"
    "Collates a numbered series of data files, PREFIX0001.DAT, PREFIX0002.DAT, ...,\n"
    "into one table, in the directory that holds them. FIRST-NAME is the first\n"
    "file's name or the prefix alone; COUNT is the number of files, 2 to 9999.\n"
    "What is not given is asked for on standard input, and so is, at the end,\n"
    "whether to open the table in BBEdit (1 opens it).\n"
    "\n"
    "Files written:\n"
    "  All_PREFIX.txt  the table, tab-separated: the first file's x values; each\n"
    "                  file's y values and peak; the mean, standard deviation and\n"
    "                  CV % of each column\n"
    "  All_PREFIX.csv  a copy of the table, tab-separated too\n"
    "  All_PREFIX.svg  with --plot, a picture of the series: each file's curve\n"
    "                  (above 50 files, the lowest and highest y), the mean, the\n"
    "                  band of one standard deviation around it, and the peaks\n"
    "\n"
    "Options, as the whole first argument:\n"
    "  --plot          also draw the series, in All_PREFIX.svg\n"
    "  -h, --help      print this text and exit\n"
    "  -V, --version   print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0  the table and its copy are complete\n"
    "  1  an orderly stop: the first data file is missing, or a file holds more\n"
    "     than 250 points\n"
    "  2  a run-time error, reported on standard error\n";

const std::string_view kVersion = "tovel 1.0.1\n";

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine line;
  line.narg = argc - 1;
  line.args = argv + 1;
  if (line.narg >= 1) {
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") line.action = CommandLine::Action::help;
    if (first == "--version" || first == "-V") line.action = CommandLine::Action::version;
    if (first == "--plot") {
      line.plot = true;
      --line.narg;
      ++line.args;
    }
  }
  return line;
}

}  // namespace tovel
