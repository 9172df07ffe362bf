#include "readahead/series_reader.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <system_error>

#include "base/signals.h"
#include "fields/number_field.h"
#include "native/native_file.h"

namespace tovel {
namespace {

// The read buffer of each job: a data file of usual size in one read.
constexpr std::size_t kBufferSize = 1 << 16;
// How far ahead of the file claimed the files of a series that comes from
// storage are asked for: enough reads in flight to keep the storage busy.
constexpr int kPrefetchDistance = 128;
// The most files read ahead: enough for the workers to read on for some
// milliseconds while the taking thread is held up, as it is when the first
// write cuts the table left by an earlier run (about 9 ms at 38 MB, while
// that table's pages are still being written back).
constexpr int kMostSlots = 512;

// When a series is taken to come from storage: at least this many of its
// files, and one in four of those read, came from there. A page now and then
// missing from a cached series is no reason to prefetch.
constexpr int kStorageReadsToPrefetch = 8;
constexpr int kStorageShareToPrefetch = 4;

// Whether file `name` is read through xylib.
bool is_instrument_file(const FileReading& reading, const std::string& name) {
  switch (reading.instruments) {
    case FileReading::Instruments::none:
      return false;
    case FileReading::Instruments::all:
      return true;
    case FileReading::Instruments::by_extension:
      break;
  }
  return !has_text_extension(name);
}

}  // namespace

struct SeriesReader::Slot {
  int file = 0;        // the file it holds, or is being read into
  bool ready = false;  // the file is read
  // The taking thread claimed the file ahead of the one it takes and found
  // it not regular: no one reads it until it is the one taken.
  bool held = false;
  FilePoints points;
};

ReadAhead plan_read_ahead(int files, int jobs, std::size_t bytes_per_file) {
  const int workers = std::min(std::max(jobs, 1), files) - 1;
  if (workers == 0) return {.slots = 1, .workers = 0};
  const auto affordable = static_cast<int>(
      std::min<std::size_t>(kSlotBudget / std::max<std::size_t>(bytes_per_file, 1), kMostSlots));
  const int slots = std::max(1, std::min({affordable, files}));
  return {.slots = slots, .workers = std::min(workers, slots - 1)};
}

SeriesReader::SeriesReader(Settings settings)
    : settings_(std::move(settings)), first_decimal_comma_file_(INT_MAX) {
  // The first file's slot; the others follow once its length is known.
  slots_.push_back(std::make_unique_for_overwrite<Slot>());
  buffers_.push_back(std::make_unique_for_overwrite<char[]>(kBufferSize));
  own_file_ = std::make_unique<DataFile>(std::span<char>(buffers_[0].get(), kBufferSize));
  own_file_->stream().give_up_waits_when(giving_up_);
  own_file_->set_line_rules(settings_.reading.line_rules);
}

void SeriesReader::plan_window(int first_points) {
  // No more threads than files, nor slots: a small series starts as fast
  // as it would on one thread. The files are taken to be as long as
  // --max-points allows, or, where it was not given, as the first one or
  // kDefaultMaxPoints, whichever is longer.
  const FileReading& reading = settings_.reading;
  const int longest = reading.max_points_given
                          ? reading.max_points
                          : std::min(reading.max_points, std::max(first_points, kDefaultMaxPoints));
  const std::size_t bytes_per_point = sizeof(float) + reading.field.cell_width();
  const ReadAhead plan = plan_read_ahead(settings_.files, settings_.jobs,
                                         bytes_per_point * static_cast<std::size_t>(longest));
  // The first file's slot keeps its place: file 1 goes into slot 1 % slots.
  std::vector<std::unique_ptr<Slot>> slots(static_cast<std::size_t>(plan.slots));
  slots[static_cast<std::size_t>(1 % plan.slots)] = std::move(slots_[0]);
  for (std::unique_ptr<Slot>& slot : slots) {
    if (!slot) slot = std::make_unique_for_overwrite<Slot>();
  }
  const std::lock_guard lock(mutex_);
  slots_ = std::move(slots);
  for (int job = 1; job <= plan.workers; ++job)
    buffers_.push_back(std::make_unique_for_overwrite<char[]>(kBufferSize));
  workers_wanted_ = plan.workers;
}

void SeriesReader::start_workers() {
  const SignalsBlocked blocked;  // they stay with the run's own thread
  try {
    for (int job = 1; job <= workers_wanted_; ++job)
      workers_.emplace_back(&SeriesReader::work, this, job);
  } catch (const std::system_error&) {
    // Fewer threads than asked for still read the series, and with none the
    // taking thread reads every file itself.
  }
}

void SeriesReader::after_first_file(const FilePoints& first) {
  if (first.end == FilePoints::End::complete) {
    header_.emplace(first.x, static_cast<std::size_t>(first.count), first.empty_points);
  }
  plan_window(first.count);
  start_workers();
}

SeriesReader::~SeriesReader() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  giving_up_ = true;
  slot_freed_.notify_all();
  for (std::thread& worker : workers_)
    worker.join();
}

void SeriesReader::read_file(int i, DataFile& file, FilePoints& points, bool opened) {
  const FileReading& reading = settings_.reading;
  int blocks = 0;
  std::optional<Failure> failure;
  if (std::string name = settings_.file_name(i); is_instrument_file(reading, name)) {
    NativeText native = read_native_file(name, reading.format, reading.block, reading.line_rules);
    blocks = native.blocks;
    failure = std::move(native.failure);
    if (!failure) file.read_text(std::move(name), std::move(native.text));
  } else if (!opened) {
    failure = file.open(std::move(name));
  }
  if (failure) {
    points.end = FilePoints::End::not_opened;
    points.failure = std::move(failure);
    return;
  }
  // Where commas are decimal marks, there is no sign to look for.
  file.watch_decimal_commas =
      !reading.line_rules.decimal_comma && i < first_decimal_comma_file_.load();
  const PointRules rules{.reading = reading,
                         .keep_x_values = i == 1,
                         .header = i == 1 || !header_ ? nullptr : &*header_};
  read_file_points(file, rules, points);
  points.blocks = blocks;
  if (points.decimal_comma_line == 0) return;
  int first = first_decimal_comma_file_.load();
  while (i < first && !first_decimal_comma_file_.compare_exchange_weak(first, i)) {
  }
}

SeriesReader::Slot* SeriesReader::claim_next(std::pair<int, int>& prefetch) {
  const int window = static_cast<int>(slots_.size());
  if (next_to_read_ > settings_.files || next_to_read_ > released_ + window) return nullptr;
  const int i = next_to_read_++;
  if (storage_reads_ >= kStorageReadsToPrefetch &&
      storage_reads_ * kStorageShareToPrefetch >= files_read_) {
    const int last = std::min(i + kPrefetchDistance, settings_.files);
    prefetch = {std::max(prefetched_, i) + 1, last};
    prefetched_ = std::max(prefetched_, last);
  }
  Slot* slot = slots_[static_cast<std::size_t>(i % window)].get();
  slot->file = i;
  slot->ready = false;
  slot->held = false;
  return slot;
}

bool SeriesReader::read_next(std::unique_lock<std::mutex>& lock, DataFile& file) {
  std::pair<int, int> prefetch{1, 0};
  Slot* slot = claim_next(prefetch);
  if (slot == nullptr) return false;
  lock.unlock();
  prefetch_ahead(prefetch);
  read_file(slot->file, file, slot->points, false);
  lock.lock();
  finish_read(*slot, file);
  return true;
}

bool SeriesReader::read_next_if_regular(std::unique_lock<std::mutex>& lock) {
  std::pair<int, int> prefetch{1, 0};
  Slot* slot = claim_next(prefetch);
  if (slot == nullptr) return false;
  lock.unlock();
  prefetch_ahead(prefetch);
  const bool regular = own_file_->open_if_regular(settings_.file_name(slot->file));
  if (regular) read_file(slot->file, *own_file_, slot->points, true);
  lock.lock();
  if (regular) {
    finish_read(*slot, *own_file_);
  } else {
    slot->held = true;
  }
  return true;
}

void SeriesReader::prefetch_ahead(std::pair<int, int> prefetch) const {
  for (int ahead = prefetch.first; ahead <= prefetch.second; ++ahead)
    prefetch_data_file(settings_.file_name(ahead));
}

void SeriesReader::finish_read(Slot& slot, DataFile& file) {
  slot.ready = true;
  storage_reads_ += file.stream().read_from_storage() ? 1 : 0;
  ++files_read_;
}

void SeriesReader::work(int job) {
  DataFile file({buffers_[static_cast<std::size_t>(job)].get(), kBufferSize});
  file.stream().give_up_waits_when(giving_up_);
  file.set_line_rules(settings_.reading.line_rules);
  std::unique_lock lock(mutex_);
  while (!closing_ && next_to_read_ <= settings_.files) {
    if (read_next(lock, file)) {
      if (taker_waits_) file_read_.notify_one();
      continue;
    }
    ++workers_waiting_;
    slot_freed_.wait(lock);
    --workers_waiting_;
  }
}

const FilePoints& SeriesReader::take(int i, const std::function<void()>& waiting) {
  const int window = static_cast<int>(slots_.size());
  Slot& slot = *slots_[static_cast<std::size_t>(i % window)];
  std::unique_lock lock(mutex_);
  while (!(slot.ready && slot.file == i)) {
    // A file held for this thread is read now that it is the one taken.
    if (slot.file == i && slot.held) {
      slot.held = false;
      lock.unlock();
      read_file(i, *own_file_, slot.points, false);
      lock.lock();
      finish_read(slot, *own_file_);
      continue;
    }
    // Rather than wait, this thread reads the next file no one has begun:
    // file i itself, or one beyond it while a worker is still at file i,
    // when that is a regular file. A file beyond i may never be read to its
    // end (a FIFO with no writer), and the run must not wait on it when file
    // i ends the run: one that is not regular is claimed and held, and read
    // here once it is file i.
    const int next = next_to_read_;
    if (next != i && next <= settings_.files) {
      if (read_next_if_regular(lock)) continue;
    } else if (read_next(lock, *own_file_)) {
      continue;
    }
    // Woken now and then, so that a stop signal is heard while a worker
    // waits on a file that never comes (a FIFO with no writer).
    taker_waits_ = true;
    const bool woken =
        file_read_.wait_for(lock, std::chrono::milliseconds(50)) == std::cv_status::no_timeout;
    taker_waits_ = false;
    if (!woken) {
      lock.unlock();
      waiting();
      lock.lock();
    }
  }
  if (i == 1) {
    // The first file is read on this thread, before any worker starts:
    // the others are compared with its x values.
    lock.unlock();
    after_first_file(slot.points);
  }
  return slot.points;
}

void SeriesReader::done_with_taken() {
  bool wake_worker = false;
  {
    const std::lock_guard lock(mutex_);
    ++released_;
    wake_worker = workers_waiting_ > 0;
  }
  if (wake_worker) slot_freed_.notify_one();
}

}  // namespace tovel
