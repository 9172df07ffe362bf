#pragma once

// Instrument files made here, following the layouts xylib reads, for the
// tests that collate them.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tovel::e2e {

// Little-endian values written into a binary image at their offsets.
class Image {
 public:
  explicit Image(std::size_t size) : bytes_(size, '\0') {}
  template <typename T>
  void put(std::size_t at, T value) {
    if (bytes_.size() < at + sizeof value) bytes_.resize(at + sizeof value, '\0');
    std::memcpy(bytes_.data() + at, &value, sizeof value);  // x86-64 is little-endian
  }
  void put_text(std::size_t at, std::string_view text) { bytes_.replace(at, text.size(), text); }
  std::string bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// PANalytical XRDML: a scan from `start` to `end` in equal steps.
inline std::string xrdml(double start, double end, const std::vector<float>& counts) {
  std::string intensities;
  for (const float y : counts)
    intensities += (intensities.empty() ? "" : " ") + std::to_string(static_cast<int>(y));
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<xrdMeasurements xmlns=\"http://www.xrdml.com/XRDMeasurement/1.5\">\n"
         " <xrdMeasurement measurementType=\"Scan\">\n  <scan>\n   <dataPoints>\n"
         "    <positions axis=\"2Theta\" unit=\"deg\"><startPosition>" +
         std::to_string(start) + "</startPosition><endPosition>" + std::to_string(end) +
         "</endPosition></positions>\n    <intensities unit=\"counts\">" + intensities +
         "</intensities>\n   </dataPoints>\n  </scan>\n </xrdMeasurement>\n</xrdMeasurements>\n";
}

// Siemens/Bruker RAW version 3 (RAW1.01): a 712-byte file header, then each
// range's 304-byte header and its counts.
inline std::string bruker_raw_v3(double start, double step, const std::vector<float>& counts) {
  Image image(712);
  image.put_text(0, "RAW1.01");
  image.put<uint32_t>(8, 1);   // done
  image.put<uint32_t>(12, 1);  // ranges
  const std::size_t range = 712;
  image.put<uint32_t>(range, 304);
  image.put<uint32_t>(range + 4, static_cast<uint32_t>(counts.size()));
  image.put<double>(range + 16, start);
  image.put<double>(range + 176, step);
  image.put<uint32_t>(range + 256, 0);  // no supplementary headers
  for (std::size_t i = 0; i < counts.size(); ++i)
    image.put<float>(range + 304 + 4 * i, counts[i]);
  return image.bytes();
}

}  // namespace tovel::e2e
