#include "line_reader_differential.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "base/input_stream.h"
#include "datafile/general_line.h"
#include "datafile/plain_line.h"

namespace tovel::testing {
namespace {

class MemorySource : public ByteSource {
 public:
  MemorySource(std::string_view bytes, std::size_t chunk) : bytes_(bytes), chunk_(chunk) {}
  long read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, bytes_.size()});
    bytes_.copy(buffer, n);
    bytes_.remove_prefix(n);
    return static_cast<long>(n);
  }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
};

struct Reader {
  Reader(std::string_view image, std::size_t chunk)
      : source(image, chunk),
        buffer(InputStream::kReadPadding + std::max(chunk, std::size_t{1})),
        in(buffer) {
    in.attach(source);
  }
  MemorySource source;
  std::vector<char> buffer;
  InputStream in;
};

std::string describe(const DataLine& line) {
  const auto hex = [](float f) { return std::to_string(std::bit_cast<uint32_t>(f)); };
  return hex(line.x.value()) + " " + hex(line.y) + " " + hex(line.z.value()) +
         (line.empty ? " empty" : "") + " values " + std::to_string(line.values) + " missing " +
         std::to_string(line.missing) + " [" + std::string(line.decimal_comma.view()) + "]" +
         (line.y_out_of_range.kind == OutOfRange::no
              ? ""
              : " beyond " + std::to_string(static_cast<int>(line.y_out_of_range.kind)) + " [" +
                    std::string(line.y_out_of_range.view()) + "]");
}

}  // namespace

LineReaderComparison compare_line_readers(std::string_view image, std::size_t chunk) {
  Reader usual(image, chunk);
  Reader general(image, chunk);
  LineReaderComparison result;
  for (long line_number = 1;; ++line_number) {
    DataLine expected;
    const ReadOutcome expected_outcome = read_general_line(general.in, expected, LineRules{}, true);
    const std::string at = "line " + std::to_string(line_number) + ": ";
    TokenText x_text = expected.x.token_text();
    const bool other_text = line_number % 3 == 0;
    if (other_text) x_text.text[0] = static_cast<char>(x_text.text[0] ^ 1);
    float y_on_grid = 0.0f;
    if (read_plain_points(usual.in, {&x_text, 1}, true, &y_on_grid) == 1) {
      ++result.direct;
      ++result.on_grid;
      const bool noted = expected.empty || expected.missing != 0 ||
                         expected.decimal_comma.size != 0 ||
                         expected.y_out_of_range.kind != OutOfRange::no;
      if (other_text || expected_outcome.status != ReadStatus::line || noted ||
          std::bit_cast<uint32_t>(y_on_grid) != std::bit_cast<uint32_t>(expected.y)) {
        result.difference = at + "read on the grid as y " +
                            std::to_string(std::bit_cast<uint32_t>(y_on_grid)) + ", where the " +
                            "general reader gives " + describe(expected);
      } else if (usual.in.lines_taken() != general.in.lines_taken()) {
        result.difference = at + "a different count of lines taken";
      }
      if (!result.difference.empty()) return result;
      continue;
    }
    DataLine got;
    ReadOutcome got_outcome{ReadStatus::line};
    if (read_plain_line(usual.in, got, true)) {
      ++result.direct;
    } else {
      ++result.declined;
      got_outcome = read_general_line(usual.in, got, LineRules{}, true);
    }
    if (got_outcome.status != expected_outcome.status) {
      result.difference = at + "status " + std::to_string(static_cast<int>(got_outcome.status)) +
                          " instead of " +
                          std::to_string(static_cast<int>(expected_outcome.status));
    } else if (got_outcome.status == ReadStatus::line && describe(got) != describe(expected)) {
      result.difference = at + "values " + describe(got) + " instead of " + describe(expected);
    } else if (got_outcome.bad_field() != expected_outcome.bad_field() ||
               got_outcome.line_number != expected_outcome.line_number) {
      result.difference = at + "a different bad field or line number";
    } else if (usual.in.lines_taken() != general.in.lines_taken()) {
      result.difference = at + "a different count of lines taken";
    }
    if (!result.difference.empty() || expected_outcome.status != ReadStatus::line) return result;
  }
}

}  // namespace tovel::testing
