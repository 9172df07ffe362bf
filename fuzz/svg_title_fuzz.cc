// Any bytes as the prefix of a series, through the picture --plot draws: the
// title and the legend's labels hold them, and the whole SVG must be a
// document that an XML parser (libxml2's) accepts.
#include <libxml/parser.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/buffered_writer.h"
#include "collate/accumulators.h"
#include "plot/series_picture.h"
#include "plot/svg_picture.h"

namespace {

class NoTable : public tovel::TableRows {
 public:
  std::optional<tovel::Failure> begin_header() override { return std::nullopt; }
  std::optional<tovel::Failure> header_cell(float) override { return std::nullopt; }
  std::optional<tovel::Failure> end_header() override { return std::nullopt; }
  std::optional<tovel::Failure> file_row(const tovel::FileRow&) override { return std::nullopt; }
  std::optional<tovel::Failure> summary_rows(std::span<const tovel::ColumnStatistics>) override {
    return std::nullopt;
  }
};

class MemorySink : public tovel::ByteSink {
 public:
  long write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    return static_cast<long>(size);
  }
  std::string bytes;
};

void ignore_xml_error(void*, const char*, ...) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  xmlSetGenericErrorFunc(nullptr, ignore_xml_error);
  const std::string prefix(reinterpret_cast<const char*>(data), size);
  NoTable table;
  tovel::SeriesPicture picture(table, 2);
  tovel::ColumnAccumulators sums;
  sums.clear();
  picture.begin_header();
  for (const float x : {1.0f, 2.0f})
    picture.header_cell(x);
  picture.end_header();
  const std::vector<float> y[] = {{1.0f, 3.0f}, {2.0f, 1.0f}};
  for (int i = 0; i < 2; ++i) {
    const std::string label = (prefix + "000" + std::to_string(i + 1)).substr(0, 10);
    picture.file_row({.label = label, .y = y[i], .y_cells = {}, .xmax = 2.0f, .ymax = y[i][1]});
    sums.add_points(y[i]);
  }
  char buffer[1 << 16];
  MemorySink sink;
  tovel::BufferedWriter out(buffer);
  out.attach(sink);
  const tovel::SeriesText text{.prefix = prefix, .file_name = [&](int i) {
                                 return prefix + "000" + std::to_string(i) + ".DAT";
                               }};
  picture.summary_rows(sums.summary(2, 2));
  if (tovel::write_series_svg(picture, text, out) != 0) __builtin_trap();
  xmlDocPtr document = xmlReadMemory(sink.bytes.data(), static_cast<int>(sink.bytes.size()),
                                     "picture.svg", nullptr, XML_PARSE_NONET);
  if (document == nullptr) __builtin_trap();
  xmlFreeDoc(document);
  return 0;
}
