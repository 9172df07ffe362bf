#include "run/series.h"

#include <functional>
#include <optional>
#include <string>

#include "base/descriptor.h"
#include "base/digits.h"
#include "collate/collation.h"
#include "points/file_points.h"
#include "readahead/series_reader.h"
#include "run/hints.h"
#include "run/value_hints.h"
#include "run/warnings.h"

namespace tovel {
namespace {

// "Input file     I is NAME", the name in its field of 32 (whole when
// longer), as one write. Its control bytes show as \xHH, as in a report,
// and never reach the terminal.
void announce_file(Console& out, int i, std::string_view name) {
  std::string shown;
  if (holds_control_bytes(name)) shown = shown_name(name);
  const std::string_view data_name = shown.empty() ? name : shown;
  constexpr std::string_view kBefore = "Input file ", kBetween = " is ";
  constexpr std::size_t kNumber = 5;
  char line[kBefore.size() + kNumber + kBetween.size() + Name::size() + 1];
  if (data_name.size() > Name::size()) {
    char number[kNumber];
    put_right_aligned(number, static_cast<uint32_t>(i), kNumber);
    out.write(std::string(kBefore) + std::string(number, kNumber) + std::string(kBetween) +
              std::string(data_name) + "\n");
    out.end_message();
    return;
  }
  char* at = line + kBefore.copy(line, kBefore.size());
  put_right_aligned(at, static_cast<uint32_t>(i), kNumber);
  at += kNumber;
  at += kBetween.copy(at, kBetween.size());
  at += data_name.copy(at, Name::size());
  at = std::fill_n(at, Name::size() - data_name.size(), ' ');
  *at++ = '\n';
  out.write({line, static_cast<std::size_t>(at - line)});
  out.end_message();
}

// The orderly stop for a missing first file, with a warning when a name in
// another case is there, and a hint when the series is there in another
// form.
[[noreturn]] void stop_at_missing_first_file(const SeriesNaming& naming, std::string_view name,
                                             const SeriesRun& run) {
  Dialogue& dialogue = run.dialogue;
  dialogue.console().write("The first .DAT file (");
  dialogue.console().write(shown_name(name));
  dialogue.say(") does not exist in this directory\n\n");
  const std::string namesake = namesake_in_other_case(name);
  if (!namesake.empty()) {
    const std::size_t stem = name.size() - kDataExtension.size();
    const bool extension_only = namesake.substr(0, stem) == name.substr(0, stem);
    warn("found " + shown_name(namesake) +
         (extension_only ? "; data file names end in upper-case .DAT"
                         : "; data file names are matched with their case"));
  }
  for (const std::string& words :
       {hint_for_missing_first_file(naming), hint_for_named_files(naming)}) {
    if (!words.empty()) hint(words);
  }
  run.ending.end_run(kOrderlyStop);
}

// A data file after the first that is missing: the failure gets a hint of
// where the series ends.
Failure with_series_hint(Failure failure, const SeriesNaming& naming, int i) {
  if (i > 1 && !naming.listed() && failure.kind == FailureKind::missing_file) {
    failure.hint = hint_line(hint_for_missing_file(naming, i));
  }
  return failure;
}

// The stop at a file of more points than a file may hold. Without
// --max-points, a hint says how many the file holds and what lets it in.
[[noreturn]] void stop_at_too_many_points(std::string_view name, const FilePoints& points,
                                          const FileReading& reading, const SeriesRun& run) {
  const std::string most = std::to_string(reading.max_points);
  run.dialogue.say("TOO Many data per file (Max = " + most + ")\n");
  tell(shown_name(name) + ":" + std::to_string(points.stop_line) + ": more than " + most +
       " points");
  if (!reading.max_points_given) {
    const long total = points.total_points;
    hint(total > kMostMaxPoints
             ? shown_name(name) + " has more than " + std::to_string(kMostMaxPoints) + " points"
             : shown_name(name) + " has " + std::to_string(total) + " points; --max-points " +
                   std::to_string(total) + " collates files up to that length");
  }
  run.ending.end_run(kOrderlyStop);
}

}  // namespace

int collate_series(const SeriesNaming& naming, int k, const FileReading& reading, int jobs,
                   TableRows& rows, ColumnAccumulators& sums, const SeriesRun& run,
                   OutputForm form) {
  RunEnding& ending = run.ending;
  SeriesWarnings warnings(naming.file(1).data_name, reading.field, reading.line_rules,
                          reading.block_given);
  warnings.set_transposed(form.transposed);
  std::optional<SeriesReader> reader;  // started once the first file is found
  int last_points = 0;
  const std::function<void()> stop_if_interrupted = [&] { ending.stop_if_interrupted(); };
  FileNames names;
  for (int i = 1; i <= k; ++i) {
    naming.file(i, names);
    announce_file(run.dialogue.console(), i, names.data_name);
    const std::string_view name = names.data_name;
    if (i == 1) {
      if (!naming.listed() && !file_exists(name)) stop_at_missing_first_file(naming, name, run);
      reader.emplace(SeriesReader::Settings{
          .files = k, .jobs = jobs, .reading = reading, .file_name = [&](int j) {
            return naming.data_name(j);
          }});
    }
    const FilePoints& points = reader->take(i, stop_if_interrupted);
    if (points.end == FilePoints::End::not_opened) {
      ending.fail(with_series_hint(*points.failure, naming, i));
    }
    ending.fail_if(collate_points(points, i == 1, names.row_label, rows, sums));
    if (points.end == FilePoints::End::too_many_points) {
      stop_at_too_many_points(name, points, reading, run);
    }
    if (points.failure) ending.fail(with_value_hints(*points.failure, points, reading.line_rules));
    run.progress.row_written(i);
    warnings.after_file(points, name);
    last_points = points.count;
    reader->done_with_taken();
    ending.stop_if_interrupted();
  }
  warnings.at_series_end();
  if (!naming.listed()) {
    for (const std::string& words :
         {zeroth_file_warning(naming), shared_labels_warning(naming, k)}) {
      if (!words.empty()) warn(words);
    }
  }
  return last_points;
}

}  // namespace tovel
