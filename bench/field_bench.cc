// Micro-benchmarks of the per-value path, each beside the standard library's
// conversion of the same values for comparison.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/line_taker.h"
#include "datafile/data_file.h"
#include "datafile/read_data_line.h"
#include "fields/g14_4.h"
#include "fields/real_field.h"
#include "output/table_writer.h"

namespace {

// Spectrum-like values: mostly 0.1 to 9999 with 4 to 7 significant digits,
// some small and large magnitudes in exponent form.
std::vector<float> sample_values() {
  std::mt19937 generator(7);
  std::uniform_real_distribution<float> mantissa(1.0f, 10.0f);
  std::uniform_int_distribution<int> decade(-1, 3);
  std::vector<float> values;
  for (int i = 0; i < 4096; ++i) {
    float v = mantissa(generator);
    const int d = i % 10 == 0 ? (i % 20 == 0 ? -6 : 6) : decade(generator);
    for (int k = 0; k < d; ++k)
      v *= 10.0f;
    for (int k = 0; k > d; --k)
      v /= 10.0f;
    values.push_back(i % 3 == 0 ? -v : v);
  }
  return values;
}

std::vector<std::string> sample_texts() {
  std::vector<std::string> texts;
  char buf[32];
  int i = 0;
  for (const float v : sample_values()) {
    const int digits = 4 + (i++ % 4);
    const auto fmt = i % 10 == 0 ? std::chars_format::scientific : std::chars_format::general;
    auto r = std::to_chars(buf, buf + sizeof buf, v, fmt, digits);
    texts.emplace_back(buf, r.ptr);
  }
  return texts;
}

void BM_format_g14_4(benchmark::State& state) {
  const auto values = sample_values();
  char out[tovel::kG14Width];
  for (auto _ : state) {
    for (const float v : values) {
      tovel::format_g14_4(v, out);
      benchmark::DoNotOptimize(out);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_format_g14_4);

void BM_to_chars_scientific_3(benchmark::State& state) {
  const auto values = sample_values();
  char out[32];
  for (auto _ : state) {
    for (const float v : values) {
      auto r = std::to_chars(out, out + sizeof out, v, std::chars_format::scientific, 3);
      benchmark::DoNotOptimize(r.ptr);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_to_chars_scientific_3);

void BM_decode_real_field(benchmark::State& state) {
  const auto texts = sample_texts();
  for (auto _ : state) {
    for (const auto& t : texts) {
      benchmark::DoNotOptimize(tovel::decode_real_field(t));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_decode_real_field);

void BM_from_chars(benchmark::State& state) {
  const auto texts = sample_texts();
  for (auto _ : state) {
    for (const auto& t : texts) {
      float v;
      auto r = std::from_chars(t.data(), t.data() + t.size(), v);
      benchmark::DoNotOptimize(v);
      benchmark::DoNotOptimize(r.ptr);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_from_chars);

// take_line over a pipe-free stream: a file image of data lines in memory,
// read through a descriptor opened on a temporary file.
void BM_take_line(benchmark::State& state) {
  std::string image;
  for (const auto& t : sample_texts())
    image += t + " " + t + "\n";
  char path[] = "/tmp/tovel_bench_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0 || write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size())) {
    state.SkipWithError("cannot write the scratch file");
    return;
  }
  static char buffer[1 << 16];
  tovel::InputStream in(buffer);
  tovel::FieldText field;
  int64_t lines = 0;
  for (auto _ : state) {
    lseek(fd, 0, SEEK_SET);
    in.attach(fd);
    while (tovel::take_line(in, 80, false, field) == tovel::TakeStatus::line)
      ++lines;
    benchmark::DoNotOptimize(field);
  }
  close(fd);
  unlink(path);
  state.SetItemsProcessed(lines);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(image.size()));
}
BENCHMARK(BM_take_line);

// Writes `image` to a scratch file and returns its path, or "" on failure.
std::string scratch_file(const std::string& image) {
  char path[] = "/tmp/tovel_bench_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return "";
  const bool written = write(fd, image.data(), image.size()) == static_cast<ssize_t>(image.size());
  close(fd);
  return written ? path : "";
}

// read_data_line over every line of a file image, the file opened afresh each time.
void read_all_lines(benchmark::State& state, const std::string& image) {
  const std::string path = scratch_file(image);
  if (path.empty()) {
    state.SkipWithError("cannot write the scratch file");
    return;
  }
  static char buffer[1 << 16];
  tovel::DataFile file(buffer);
  int64_t lines = 0;
  for (auto _ : state) {
    if (file.open(path)) {
      state.SkipWithError("cannot open the scratch file");
      break;
    }
    tovel::DataLine line;
    while (tovel::read_data_line(line, file).status == tovel::ReadStatus::line) {
      benchmark::DoNotOptimize(line.y);
      ++lines;
    }
  }
  file.close();
  unlink(path.c_str());
  state.SetItemsProcessed(lines);
}

// read_data_line on one typical line, over a file of many such lines.
void BM_read_data_line(benchmark::State& state) {
  std::string image;
  for (int i = 0; i < 4096; ++i)
    image += "402.4   3617.5\n";
  read_all_lines(state, image);
}
BENCHMARK(BM_read_data_line);

// read_data_line on lines that vary as in a real series: x on a grid, y of 4 to 7
// digits, some in exponent form, and a mixture of separators.
void BM_read_data_line_mixed(benchmark::State& state) {
  static const char* const kSeparators[] = {" ", "\t", ",", ", ", "   ", " \t"};
  const auto texts = sample_texts();
  std::string image;
  for (std::size_t i = 0; i < 3000; ++i) {
    image += std::to_string(400 + i % 250) + (i % 5 == 0 ? "" : "." + std::to_string(i % 10));
    image += kSeparators[i % 6] + texts[i] + (i % 20 == 3 ? "\t0\n" : "\n");
  }
  read_all_lines(state, image);
}
BENCHMARK(BM_read_data_line_mixed);

// read_data_line on lines as numpy.savetxt writes them by default: two values in
// %.18e, 19 significant digits each.
void BM_read_data_line_numpy(benchmark::State& state) {
  const auto values = sample_values();
  std::string image;
  char line[80];
  for (std::size_t i = 0; i < 3000; ++i) {
    const int n =
        std::snprintf(line, sizeof line, "%.18e %.18e\n",
                      400.0 + 0.8 * static_cast<double>(i % 250), static_cast<double>(values[i]));
    image.append(line, static_cast<std::size_t>(n));
  }
  read_all_lines(state, image);
}
BENCHMARK(BM_read_data_line_numpy);

// The table writer, one value cell at a time, written out to a scratch file.
void BM_table_writer_cell(benchmark::State& state) {
  const auto values = sample_values();
  char path[] = "/tmp/tovel_bench_XXXXXX";
  const int fd = mkstemp(path);
  close(fd);
  int64_t cells = 0;
  for (auto _ : state) {
    state.PauseTiming();
    static char buffer[1 << 16];
    auto table = std::make_unique<tovel::TableWriter>(buffer);
    table->open(path);
    state.ResumeTiming();
    for (int round = 0; round < 16; ++round) {
      for (const float v : values)
        table->write_cell(v);
    }
    table->close();
    cells += 16 * static_cast<int64_t>(values.size());
  }
  unlink(path);
  state.SetItemsProcessed(cells);
}
BENCHMARK(BM_table_writer_cell);

}  // namespace
