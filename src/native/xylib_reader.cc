// Instrument files read through xylib: this build has it.
#include <xylib/xylib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>

#include "native/native_file.h"

namespace tovel {
namespace {

// xylib is not documented as safe to call from several threads at once.
std::mutex xylib_calls;

std::string described(const xylibFormat* format) {
  return format != nullptr && format->desc != nullptr ? format->desc : "instrument";
}

Failure cannot_read(const std::string& name, const std::string& what) {
  return {.file = name,
          .what = what,
          .message = "Cannot read file '" + shown_name(name) + "'",
          .kind = FailureKind::bad_value};
}

// Appends `value` rounded once to binary32, with 9 significant digits.
void append_value(std::string& text, double value, bool decimal_comma) {
  char digits[32];
  const auto written = std::to_chars(digits, digits + sizeof digits, static_cast<float>(value),
                                     std::chars_format::general, 9);
  if (decimal_comma) std::replace(digits, written.ptr, '.', ',');
  text.append(digits, written.ptr);
}

// The points of `block` as text lines, the columns `rules` reads in their
// places.
std::string points_as_text(const xylib::Block& block, const LineRules& rules) {
  const int columns = block.get_column_count();
  const int last = std::min(std::max(rules.x_column, rules.y_column), columns);
  int points = -1;
  for (int j = 1; j <= last; ++j) {
    const int count = block.get_column(j).get_point_count();
    if (count >= 0 && (points < 0 || count < points)) points = count;
  }
  std::string text;
  const char separator = rules.decimal_comma ? ';' : ' ';
  for (int i = 0; i < std::max(points, 0); ++i) {
    for (int j = 1; j <= last; ++j) {
      if (j > 1) text += separator;
      if (j == rules.x_column || j == rules.y_column) {
        append_value(text, block.get_column(j).get_value(i), rules.decimal_comma);
      } else {
        text += '0';
      }
    }
    text += '\n';
  }
  return text;
}

// The format of `name` that xylib recognises, or null for none; xylib's
// fallback to its own text format is none, as that is not Tovel's text.
const xylib::FormatInfo* recognised_format(const std::string& name) {
  std::ifstream stream(name, std::ios::binary);
  const xylib::FormatInfo* info = xylib::guess_filetype(name, stream, nullptr);
  return info != nullptr && std::string_view(info->name) == "text" ? nullptr : info;
}

// The data set of `name` in the format `info`. xylib's own load_file loses
// the data set it made when reading fails; this one owns it from the start.
// Compressed files (.gz, .bz2) are left to load_file, which decompresses
// them.
std::unique_ptr<xylib::DataSet> load(const std::string& name, const xylib::FormatInfo& info) {
  if (name.ends_with(".gz") || name.ends_with(".bz2")) {
    return std::unique_ptr<xylib::DataSet>(xylib::load_file(name, info.name));
  }
  std::ifstream stream(name, std::ios::binary);
  if (!stream) throw xylib::RunTimeError(error_text(errno));
  std::unique_ptr<xylib::DataSet> data(info.ctor());
  data->load_data(stream, name.c_str());
  return data;
}

}  // namespace

bool native_formats_built_in() {
  return true;
}

std::string native_formats_version() {
  return "xylib " + std::string(xylib_get_version());
}

std::vector<NativeFormat> native_formats() {
  std::vector<NativeFormat> formats;
  // xylib's own text format goes by the name that means Tovel's text.
  for (int i = 0; const xylibFormat* format = xylib_get_format(i); ++i) {
    if (std::string_view(format->name) != "text")
      formats.push_back({format->name, described(format)});
  }
  return formats;
}

bool is_native_format(std::string_view name) {
  return name != "text" && xylib_get_format_by_name(std::string(name).c_str()) != nullptr;
}

NativeText read_native_file(const std::string& name, const std::string& format, int block,
                            const LineRules& rules) {
  const std::lock_guard lock(xylib_calls);
  NativeText read;
  const xylib::FormatInfo* info = nullptr;
  try {
    info = format.empty()
               ? recognised_format(name)
               : static_cast<const xylib::FormatInfo*>(xylib_get_format_by_name(format.c_str()));
    if (info == nullptr) {
      read.failure = cannot_read(name,
                                 "xylib recognises no instrument format in it; "
                                 "--format text reads it as text");
      return read;
    }
    const std::unique_ptr<xylib::DataSet> data = load(name, *info);
    read.blocks = data->get_block_count();
    if (block > read.blocks) {
      read.failure = cannot_read(name, "--block " + std::to_string(block) + ", but it holds " +
                                           std::to_string(read.blocks) +
                                           (read.blocks == 1 ? " block" : " blocks"));
      return read;
    }
    read.text = points_as_text(*data->get_block(block - 1), rules);
  } catch (const std::exception& error) {
    read.failure =
        cannot_read(name, "cannot read it as a " + described(info) + " file: " + error.what());
  }
  return read;
}

}  // namespace tovel
