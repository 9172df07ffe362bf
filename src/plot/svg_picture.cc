#include "plot/svg_picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "plot/axis.h"
#include "plot/xml_text.h"

namespace tovel {
namespace {

// The page and the plotting area within it, in pixels; the legend stands to
// the right of the area.
constexpr double kWidth = 800;
constexpr double kHeight = 500;
constexpr double kLeft = 80;
constexpr double kRight = 620;
constexpr double kTop = 50;
constexpr double kBottom = 440;

constexpr std::string_view kCurveColours[] = {"#4e79a7", "#f28e2b", "#59a14f", "#e15759",
                                              "#76b7b2", "#edc948", "#b07aa1", "#ff9da7",
                                              "#9c755f", "#bab0ac"};
constexpr std::string_view kBandColour = "#9ecae1";
constexpr std::string_view kPeakColour = "#d62728";
constexpr std::string_view kPeakWidth = "5";  // the width of a dot with few files
constexpr std::string_view kMeanColour = "#000";
constexpr std::string_view kMeanWidth = "2.5";
constexpr std::string_view kEnvelopeColour = "#777";
constexpr std::string_view kEnvelopeDashes = "4 3";

// The text of an SVG document written through a buffered writer; the first
// failure sticks.
class Svg {
 public:
  explicit Svg(BufferedWriter& out) : out_(out) {}
  Svg& operator<<(std::string_view text) {
    if (error_ == 0) error_ = out_.write(text);
    return *this;
  }
  // A coordinate or a length, to a tenth of a pixel.
  Svg& operator<<(double value) {
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return *this << std::string_view(text, static_cast<std::size_t>(r.ptr - text));
  }
  // Any bytes as the text of an element.
  Svg& text(std::string_view raw) { return *this << xml_text(raw); }
  int error() const { return error_; }

 private:
  BufferedWriter& out_;
  int error_ = 0;
};

double wide(float value) {
  return static_cast<double>(value);
}

// The finite extent of some values.
struct Extent {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void take(double v) {
    if (!std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  Axis axis() const { return low <= high ? axis_for(low, high) : axis_for(0, 1); }
};

// Pixel positions from values, on the two axes.
struct Frame {
  Axis x;
  Axis y;
  double px(double v) const { return kLeft + (v - x.low) / (x.high - x.low) * (kRight - kLeft); }
  double py(double v) const { return kBottom - (v - y.low) / (y.high - y.low) * (kBottom - kTop); }
};

// The columns drawn and their statistics.
struct Columns {
  std::vector<double> x, mean, sd;
};

Columns drawn_columns(const SeriesPicture& picture) {
  Columns c;
  const std::size_t count = std::min({picture.x().size(), picture.summary().size(),
                                      static_cast<std::size_t>(picture.shortest_points())});
  const std::span<const ColumnStatistics> statistics = picture.summary();
  for (std::size_t j = 0; j < count; ++j) {
    const ColumnStatistics& s = statistics[j];
    c.x.push_back(wide(picture.x()[j]));
    c.mean.push_back(wide(s.mean));
    c.sd.push_back(wide(s.sd));
  }
  return c;
}

Frame frame_for(const SeriesPicture& picture, const Columns& c) {
  Extent x;
  Extent y;
  for (std::size_t j = 0; j < picture.x().size(); ++j) {
    x.take(wide(picture.x()[j]));
    y.take(wide(picture.lowest(j)));
    y.take(wide(picture.highest(j)));
  }
  for (std::size_t j = 0; j < c.x.size(); ++j) {
    y.take(c.mean[j] - c.sd[j]);
    y.take(c.mean[j] + c.sd[j]);
  }
  for (const SeriesPicture::Peak& p : picture.peaks()) {
    x.take(wide(p.x));
    y.take(wide(p.y));
  }
  return {x.axis(), y.axis()};
}

// The pixel columns of the plotting area. A line through more points than
// these is thinned: of the points that fall in one column, only the lowest
// and the highest are drawn, so that no peak is lost and a long scan makes
// a small picture.
constexpr std::size_t kPixelColumns = static_cast<std::size_t>(kRight - kLeft);

// The points (x_of(j), y_of(j)) for j from `first` up to `last`, in pixels,
// thinned when there are more than kPixelColumns of them: emit(px, py,
// starts_piece) for each point drawn, a new piece beginning after a point
// whose coordinates are not finite, which is left out.
void for_each_drawn_point(const Frame& f, std::size_t first, std::size_t last, auto x_of, auto y_of,
                          auto emit) {
  const bool thin = last - first > kPixelColumns;
  struct Column {  // the points of one pixel column, with thinning
    double number = -1, low_x = 0, low_y = 0, high_x = 0, high_y = 0;
    std::size_t low_j = 0, high_j = 0;
    bool any = false;
  } column;
  bool starts_piece = true;
  const auto flush = [&] {
    if (!column.any) return;
    const bool low_first = column.low_j <= column.high_j;
    emit(low_first ? column.low_x : column.high_x, low_first ? column.low_y : column.high_y,
         std::exchange(starts_piece, false));
    if (column.low_j != column.high_j) {
      emit(low_first ? column.high_x : column.low_x, low_first ? column.high_y : column.low_y,
           false);
    }
    column.any = false;
  };
  for (std::size_t j = first; j < last; ++j) {
    const double x = x_of(j);
    const double y = y_of(j);
    if (!std::isfinite(x) || !std::isfinite(y)) {
      flush();
      starts_piece = true;
      continue;
    }
    const double px = f.px(x);
    const double py = f.py(y);
    if (!thin) {
      emit(px, py, std::exchange(starts_piece, false));
      continue;
    }
    const double number = std::floor(px);
    if (!column.any || number != column.number) {
      flush();
      column = {number, px, py, px, py, j, j, true};
      continue;
    }
    if (py > column.low_y)
      column = {number, px, py, column.high_x, column.high_y, j, column.high_j, true};
    if (py < column.high_y)
      column = {number, column.low_x, column.low_y, px, py, column.low_j, j, true};
  }
  flush();
}

// A polyline through the points (x_of(j), y_of(j)), j < count, whose
// coordinates are finite, broken where one is not. Every piece starts with
// a step of length 0, so that a point alone still shows as a dot, under
// round line caps.
void polyline(Svg& svg, const Frame& f, std::size_t count, auto x_of, auto y_of) {
  for_each_drawn_point(f, 0, count, x_of, y_of, [&](double px, double py, bool starts_piece) {
    svg << (starts_piece ? " M" : " L") << px << " " << py << (starts_piece ? "h0" : "");
  });
}

void draw_axes(Svg& svg, const Frame& f) {
  svg << "<g stroke=\"#ddd\" stroke-width=\"1\">";
  for (int i = 0; i < f.x.ticks; ++i) {
    svg << "<line x1=\"" << f.px(f.x.value(i)) << "\" y1=\"" << kTop << "\" x2=\""
        << f.px(f.x.value(i)) << "\" y2=\"" << kBottom << "\"/>";
  }
  for (int i = 0; i < f.y.ticks; ++i) {
    svg << "<line x1=\"" << kLeft << "\" y1=\"" << f.py(f.y.value(i)) << "\" x2=\"" << kRight
        << "\" y2=\"" << f.py(f.y.value(i)) << "\"/>";
  }
  svg << "</g>\n<rect x=\"" << kLeft << "\" y=\"" << kTop << "\" width=\"" << kRight - kLeft
      << "\" height=\"" << kBottom - kTop << "\" fill=\"none\" stroke=\"#444\"/>\n";
  svg << "<g text-anchor=\"middle\">";
  for (int i = 0; i < f.x.ticks; ++i) {
    svg << "<text x=\"" << f.px(f.x.value(i)) << "\" y=\"" << kBottom + 18 << "\">" << f.x.label(i)
        << "</text>";
  }
  svg << "<text x=\"" << (kLeft + kRight) / 2 << "\" y=\"" << kBottom + 40 << "\">x</text>";
  svg << "</g>\n<g text-anchor=\"end\">";
  for (int i = 0; i < f.y.ticks; ++i) {
    svg << "<text x=\"" << kLeft - 6 << "\" y=\"" << f.py(f.y.value(i)) + 4 << "\">" << f.y.label(i)
        << "</text>";
  }
  svg << "</g>\n<text x=\"" << 20.0 << "\" y=\"" << (kTop + kBottom) / 2
      << "\" text-anchor=\"middle\" transform=\"rotate(-90 20 " << (kTop + kBottom) / 2
      << ")\">y</text>\n";
}

// The band of mean ± sd, one polygon for each run of finite columns: along
// its upper edge, then back along its lower edge.
void draw_band(Svg& svg, const Frame& f, const Columns& c) {
  svg << "<path fill=\"" << kBandColour << "\" fill-opacity=\"0.6\" d=\"";
  const auto finite = [&](std::size_t j) {
    return std::isfinite(c.x[j]) && std::isfinite(c.mean[j] - c.sd[j]) &&
           std::isfinite(c.mean[j] + c.sd[j]);
  };
  const auto x = [&](std::size_t j) { return c.x[j]; };
  std::vector<std::pair<double, double>> lower;
  for (std::size_t start = 0; start < c.x.size();) {
    if (!finite(start)) {
      ++start;
      continue;
    }
    std::size_t end = start;
    while (end < c.x.size() && finite(end))
      ++end;
    for_each_drawn_point(
        f, start, end, x, [&](std::size_t j) { return c.mean[j] + c.sd[j]; },
        [&](double px, double py, bool starts) {
          svg << (starts ? " M" : " L") << px << " " << py;
        });
    lower.clear();
    for_each_drawn_point(
        f, start, end, x, [&](std::size_t j) { return c.mean[j] - c.sd[j]; },
        [&](double px, double py, bool) { lower.emplace_back(px, py); });
    for (auto point = lower.rbegin(); point != lower.rend(); ++point)
      svg << " L" << point->first << " " << point->second;
    svg << " Z";
    start = end;
  }
  svg << "\"/>\n";
}

std::string_view curve_colour(std::size_t i) {
  return kCurveColours[i % std::size(kCurveColours)];
}

void draw_curves(Svg& svg, const Frame& f, const SeriesPicture& picture,
                 const std::function<std::string(int)>& file_name) {
  svg << "<g fill=\"none\" stroke-width=\"1\" stroke-opacity=\"0.85\" "
         "stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
  for (std::size_t i = 0; i < picture.curves().size(); ++i) {
    const std::vector<float>& y = picture.curves()[i];
    svg << "<path stroke=\"" << curve_colour(i) << "\" d=\"";
    polyline(
        svg, f, std::min(y.size(), picture.x().size()),
        [&](std::size_t j) { return wide(picture.x()[j]); },
        [&](std::size_t j) { return wide(y[j]); });
    svg << "\"><title>";
    svg.text(file_name(static_cast<int>(i) + 1)) << "</title></path>\n";
  }
  svg << "</g>\n";
}

// The lowest and the highest y of each column, for a series too large to
// draw file by file.
void draw_envelope(Svg& svg, const Frame& f, const SeriesPicture& picture) {
  const std::size_t count =
      std::min(picture.x().size(), static_cast<std::size_t>(picture.shortest_points()));
  svg << "<g fill=\"none\" stroke=\"" << kEnvelopeColour
      << "\" stroke-width=\"1\" stroke-dasharray=\"" << kEnvelopeDashes << "\">";
  const auto x = [&](std::size_t j) { return wide(picture.x()[j]); };
  svg << "<path d=\"";
  polyline(svg, f, count, x, [&](std::size_t j) { return wide(picture.lowest(j)); });
  svg << "\"/><path d=\"";
  polyline(svg, f, count, x, [&](std::size_t j) { return wide(picture.highest(j)); });
  svg << "\"/></g>\n";
}

// Each file's peak as a dot; many files' dots are smaller and let the
// others show through.
void draw_peaks(Svg& svg, const Frame& f, const SeriesPicture& picture) {
  const bool few = picture.draws_curves();
  svg << "<path stroke=\"" << kPeakColour << "\" stroke-width=\"" << (few ? kPeakWidth : "3")
      << (few ? "" : "\" stroke-opacity=\"0.3") << "\" stroke-linecap=\"round\" fill=\"none\" d=\"";
  for (const SeriesPicture::Peak& p : picture.peaks()) {
    if (std::isfinite(p.x) && std::isfinite(p.y))
      svg << "M" << f.px(wide(p.x)) << " " << f.py(wide(p.y)) << "h0";
  }
  svg << "\"/>\n";
}

// Files whose curves the legend names one by one; beyond, one entry
// stands for them all.
constexpr std::size_t kMaxNamedCurves = std::size(kCurveColours);

void draw_legend(Svg& svg, const SeriesPicture& picture) {
  double y = kTop + 10;
  const auto entry = [&](std::string_view mark, std::string_view label) {
    svg << "<g transform=\"translate(" << kRight + 20 << " " << y << ")\">" << mark
        << "<text x=\"34\" y=\"4\">";
    svg.text(label) << "</text></g>\n";
    y += 22;
  };
  const auto line = [](std::string_view colour) {
    return "<path d=\"M0 0h26\" stroke=\"" + std::string(colour) + "\" stroke-width=\"1\"/>";
  };
  if (!picture.draws_curves()) {
    entry("<path d=\"M0 0h26\" stroke=\"" + std::string(kEnvelopeColour) +
              "\" stroke-dasharray=\"" + std::string(kEnvelopeDashes) + "\"/>",
          "lowest, highest");
  } else if (picture.labels().size() > kMaxNamedCurves) {
    entry(line(curve_colour(0)), "each file");
  } else {
    for (std::size_t i = 0; i < picture.labels().size(); ++i)
      entry(line(curve_colour(i)), picture.labels()[i]);
  }
  entry("<path d=\"M0 0h26\" stroke=\"" + std::string(kMeanColour) + "\" stroke-width=\"" +
            std::string(kMeanWidth) + "\"/>",
        "mean");
  entry("<rect x=\"0\" y=\"-6\" width=\"26\" height=\"12\" fill=\"" + std::string(kBandColour) +
            "\"/>",
        "mean ± 1 SD");
  if (picture.peaks().empty()) return;
  entry("<path d=\"M13 0h0\" stroke=\"" + std::string(kPeakColour) + "\" stroke-width=\"" +
            std::string(kPeakWidth) + "\" stroke-linecap=\"round\"/>",
        "peak of each file");
}

}  // namespace

int write_series_svg(const SeriesPicture& picture, const SeriesText& text, BufferedWriter& out) {
  Svg svg(out);
  const Columns columns = drawn_columns(picture);
  const Frame frame = frame_for(picture, columns);
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << kHeight
      << "\" viewBox=\"0 0 " << kWidth << " " << kHeight
      << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n"
      << "<text x=\"" << (kLeft + kRight) / 2 << "\" y=\"30\" text-anchor=\"middle\" "
      << "font-size=\"16\">";
  svg.text(text.prefix) << ": " << std::to_string(picture.files()) << " files</text>\n";
  draw_axes(svg, frame);
  draw_band(svg, frame, columns);
  if (picture.draws_curves()) {
    draw_curves(svg, frame, picture, text.file_name);
  } else {
    draw_envelope(svg, frame, picture);
  }
  draw_peaks(svg, frame, picture);
  svg << "<path fill=\"none\" stroke=\"" << kMeanColour << "\" stroke-width=\"" << kMeanWidth
      << "\" stroke-linecap=\"round\" "
         "stroke-linejoin=\"round\" d=\"";
  polyline(
      svg, frame, columns.x.size(), [&](std::size_t j) { return columns.x[j]; },
      [&](std::size_t j) { return columns.mean[j]; });
  svg << "\"/>\n";
  draw_legend(svg, picture);
  svg << "</svg>\n";
  return svg.error() != 0 ? svg.error() : out.write_out();
}

}  // namespace tovel
