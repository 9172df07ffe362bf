// The instrument-format module: xylib behind the C interface of
// xylib_module.h. It is built as a shared module, linked with xylib and the
// shared C++ library, and uses nothing of the program's own.
#include "native/xylib_module.h"

#include <xylib/xylib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace {

// xylib is not documented as safe to call from several threads at once.
std::mutex xylib_calls;

std::string described(const xylibFormat* format) {
  return format != nullptr && format->desc != nullptr ? format->desc : "instrument";
}

// Appends `value` rounded once to binary32, with 9 significant digits.
void append_value(std::string& text, double value, bool decimal_comma) {
  char digits[32];
  const auto written = std::to_chars(digits, digits + sizeof digits, static_cast<float>(value),
                                     std::chars_format::general, 9);
  if (decimal_comma) std::replace(digits, written.ptr, '.', ',');
  text.append(digits, written.ptr);
}

// The columns of a point that the program reads.
struct Columns {
  int x;
  int y;
  bool decimal_comma;
};

// The points of `block` as text lines, the columns read in their places.
std::string points_as_text(const xylib::Block& block, Columns read) {
  const int columns = block.get_column_count();
  const int last = std::min(std::max(read.x, read.y), columns);
  int points = -1;
  for (int j = 1; j <= last; ++j) {
    const int count = block.get_column(j).get_point_count();
    if (count >= 0 && (points < 0 || count < points)) points = count;
  }
  std::string text;
  const char separator = read.decimal_comma ? ';' : ' ';
  for (int i = 0; i < std::max(points, 0); ++i) {
    for (int j = 1; j <= last; ++j) {
      if (j > 1) text += separator;
      if (j == read.x || j == read.y) {
        append_value(text, block.get_column(j).get_value(i), read.decimal_comma);
      } else {
        text += '0';
      }
    }
    text += '\n';
  }
  return text;
}

// The format of `name` that xylib recognises, or null for none; xylib's
// fallback to its own text format is none, as that is not the program's text.
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
  if (!stream) {
    const char* why = ::strerrordesc_np(errno);
    throw xylib::RunTimeError(why != nullptr ? why : "Unknown error");
  }
  std::unique_ptr<xylib::DataSet> data(info.ctor());
  data->load_data(stream, name.c_str());
  return data;
}

const char* version() {
  return xylib_get_version();
}

bool format(int index, const char** name, const char** description) {
  // xylib's own text format goes by the name that means the program's text.
  for (int i = 0; const xylibFormat* f = xylib_get_format(i); ++i) {
    if (std::string_view(f->name) == "text") continue;
    if (index-- == 0) {
      *name = f->name;
      *description = f->desc != nullptr ? f->desc : "instrument";
      return true;
    }
  }
  return false;
}

bool has_format(const char* name) {
  return std::string_view(name) != "text" && xylib_get_format_by_name(name) != nullptr;
}

// The block's text, or why the file cannot be read; the blocks it holds.
int read_block(const std::string& name, const std::string& format_name, int block, Columns read,
               std::string& text, std::string& failure) {
  const xylib::FormatInfo* info = nullptr;
  try {
    info =
        format_name.empty()
            ? recognised_format(name)
            : static_cast<const xylib::FormatInfo*>(xylib_get_format_by_name(format_name.c_str()));
    if (info == nullptr) {
      failure = "xylib recognises no instrument format in it; --format text reads it as text";
      return -1;
    }
    const std::unique_ptr<xylib::DataSet> data = load(name, *info);
    const int blocks = data->get_block_count();
    if (block > blocks) {
      failure = "--block " + std::to_string(block) + ", but it holds " + std::to_string(blocks) +
                (blocks == 1 ? " block" : " blocks");
      return -1;
    }
    text = points_as_text(*data->get_block(block - 1), read);
    return blocks;
  } catch (const std::exception& error) {
    failure = "cannot read it as a " + described(info) + " file: " + error.what();
  }
  return -1;
}

int read(const char* name, const char* format_name, int block, int x_column, int y_column,
         bool decimal_comma, void* context, TovelTextSink points, TovelTextSink failure) {
  std::string text;
  std::string why;
  int blocks = -1;
  try {
    const std::lock_guard lock(xylib_calls);
    blocks = read_block(name, format_name, block, {x_column, y_column, decimal_comma}, text, why);
  } catch (const std::exception& error) {  // no memory for the text
    why = error.what();
  }
  if (blocks < 0) {
    failure(context, why.data(), why.size());
  } else {
    points(context, text.data(), text.size());
  }
  return blocks;
}

constexpr TovelXylibModule kModule{kTovelXylibInterface, version, format, has_format, read};

}  // namespace

extern "C" [[gnu::visibility("default")]] const TovelXylibModule* tovel_xylib_module() {
  return &kModule;
}
