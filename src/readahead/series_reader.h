#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/report.h"
#include "datafile/data_file.h"
#include "points/file_points.h"
#include "points/header_grid.h"

namespace tovel {

// The data files of a series, read to their ends and taken in file order.
// With one job each file is read when it is taken, on the taking thread. With
// n jobs, once the first file is read on the taking thread (every later
// file's x values are compared with its), n - 1 worker threads read up to a
// window of files ahead of the one taken, and the taking thread, rather than wait for a file, reads
// the next one that no one has begun: reading and parsing go on beside the collation, and several
// reads are in flight for a series whose pages are not cached yet. Whatever the jobs, file i gives
// the same FilePoints: a file read ahead changes nothing but when its work is done, and a worker
// never reports anything. A file read ahead past the one where the run ends is never waited for:
// as the reader closes, a worker that waits on a file gives it up.
// What the slots of files read ahead may hold at most, as the y values and
// their cells of files of the longest length allowed: however long the
// files, only as many are held at once as fit.
inline constexpr std::size_t kSlotBudget = std::size_t{4} << 20;

// The slots of files read ahead, and the worker threads that fill them, for
// `jobs` threads on a series of `files` files whose longest allowed file
// takes `bytes_per_file` in a slot: as many slots as the budget holds, at
// most 512 and at least one; a worker for each slot but the one the taking
// thread fills, up to jobs - 1.
struct ReadAhead {
  int slots = 1;
  int workers = 0;
};
ReadAhead plan_read_ahead(int files, int jobs, std::size_t bytes_per_file);

class SeriesReader {
 public:
  struct Settings {
    int files = 0;
    int jobs = 1;
    FileReading reading{};
    // The name of file i, from 1; called from the workers too.
    std::function<std::string(int)> file_name;
  };

  explicit SeriesReader(Settings settings);
  ~SeriesReader();
  SeriesReader(const SeriesReader&) = delete;
  SeriesReader& operator=(const SeriesReader&) = delete;

  // File i, the next in order (from 1), read to its end, or not opened
  // (FilePoints::End::not_opened). `waiting`, called now and then while a
  // worker is still at the file, may end the run (a stop signal).
  const FilePoints& take(int i, const std::function<void()>& waiting);
  // Lets the slot of the file last taken be reused: the taker is done with it.
  void done_with_taken();

 private:
  struct Slot;
  void work(int job);
  // The slot of the next file no one has begun, claimed for it; nullptr
  // when that file is beyond the series or the window. Under the lock. Once
  // the series is seen to come from storage, `prefetch` gets the files to
  // ask for ahead of their readers.
  Slot* claim_next(std::pair<int, int>& prefetch);
  // Claims the next file and reads it on this thread, through `file`.
  // False when there is none to claim.
  bool read_next(std::unique_lock<std::mutex>& lock, DataFile& file);
  // The same on the taking thread for a file ahead of the one it takes:
  // read only when it is a regular file, and held for the taking thread
  // otherwise.
  bool read_next_if_regular(std::unique_lock<std::mutex>& lock);
  // Asks for the files of `prefetch` (first, last) ahead of their readers.
  void prefetch_ahead(std::pair<int, int> prefetch) const;
  // Marks the slot's file read through `file`. Under the lock.
  void finish_read(Slot& slot, DataFile& file);
  // Reads file i into `read`, through `file`, which has it `opened` or
  // opens it.
  void read_file(int i, DataFile& file, FilePoints& points, bool opened);

  // After the first file: the header's x values from it, the window of
  // slots for files as long as it, then the workers.
  void after_first_file(const FilePoints& first);
  void plan_window(int first_points);
  void start_workers();

  Settings settings_;
  int workers_wanted_ = 0;
  std::optional<HeaderGrid> header_;  // from the first file, once it is read
  // The first file whose lines look written with decimal commas: a file
  // after it need not be watched.
  std::atomic<int> first_decimal_comma_file_;
  std::vector<std::unique_ptr<Slot>> slots_;      // file i goes into slot i % their count
  std::vector<std::unique_ptr<char[]>> buffers_;  // each job's read buffer
  std::unique_ptr<DataFile> own_file_;            // for the files the taking thread reads
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable file_read_;   // a worker finished a file
  std::condition_variable slot_freed_;  // a file was released, or the reader is closing
  int next_to_read_ = 1;                // the next file no one has begun
  int released_ = 0;                    // files 1 to released_ are done with
  bool taker_waits_ = false;            // the taking thread waits for a worker
  int files_read_ = 0;
  int storage_reads_ = 0;    // files that came from storage, not the page cache
  int prefetched_ = 0;       // files 1 to prefetched_ were asked for ahead
  int workers_waiting_ = 0;  // workers wait for a free slot
  bool closing_ = false;
  // Set as the reader closes: a worker that waits on a file (a FIFO) gives
  // the file up.
  std::atomic<bool> giving_up_{false};
};

}  // namespace tovel
