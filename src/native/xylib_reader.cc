// Instrument files read through the instrument-format module, which this
// build has: it is opened on first use, beside the program or in its
// libexec/tovel directory.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <mutex>
#include <new>
#include <string>

#include "native/native_file.h"
#include "native/xylib_module.h"

namespace tovel {
namespace {

// The module, or why it cannot be opened.
struct LoadedModule {
  const TovelXylibModule* module = nullptr;
  std::string failure;
};

// The directory of the running program, with its final slash.
std::string program_directory() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || length >= static_cast<ssize_t>(sizeof path)) return "";
  const std::string program(path, static_cast<std::size_t>(length));
  return program.substr(0, program.rfind('/') + 1);
}

LoadedModule open_module() {
  const std::string directory = program_directory();
  std::string tried;
  for (const std::string& place :
       {directory, directory + TOVEL_MODULE_DIRECTORY_FROM_PROGRAM "/"}) {
    const std::string path = place + kTovelXylibModuleName;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      if (tried.empty()) tried = ::dlerror();
      continue;
    }
    const auto entry =
        reinterpret_cast<const TovelXylibModule* (*)()>(::dlsym(handle, "tovel_xylib_module"));
    const TovelXylibModule* module = entry != nullptr ? entry() : nullptr;
    if (module != nullptr && module->interface_version == kTovelXylibInterface) return {module, ""};
    return {nullptr, path + " is not this program's instrument-format module"};
  }
  return {nullptr, "cannot open the instrument-format module: " + tried};
}

// The module, opened once for the whole run.
const LoadedModule& loaded_module() {
  static const LoadedModule loaded = open_module();
  return loaded;
}

Failure cannot_read(const std::string& name, std::string what) {
  return {.file = name,
          .what = std::move(what),
          .message = "Cannot read file '" + shown_name(name) + "'",
          .kind = FailureKind::bad_value};
}

// Where the module's texts go.
struct ReadTexts {
  std::string points;
  std::string failure;
  bool lost = false;  // a text could not be kept
};

void keep_text(std::string& kept, bool& lost, const char* text, std::size_t length) {
  try {
    kept.assign(text, length);
  } catch (const std::bad_alloc&) {
    lost = true;
  }
}

void keep_points(void* context, const char* text, std::size_t length) {
  auto* texts = static_cast<ReadTexts*>(context);
  keep_text(texts->points, texts->lost, text, length);
}

void keep_failure(void* context, const char* text, std::size_t length) {
  auto* texts = static_cast<ReadTexts*>(context);
  keep_text(texts->failure, texts->lost, text, length);
}

}  // namespace

bool native_formats_built_in() {
  return true;
}

std::string native_formats_version() {
  const LoadedModule& loaded = loaded_module();
  if (loaded.module == nullptr) return "xylib, whose module is missing (" + loaded.failure + ")";
  return "xylib " + std::string(loaded.module->version());
}

std::vector<NativeFormat> native_formats() {
  std::vector<NativeFormat> formats;
  const TovelXylibModule* module = loaded_module().module;
  const char* name = nullptr;
  const char* description = nullptr;
  for (int i = 0; module != nullptr && module->format(i, &name, &description); ++i)
    formats.push_back({name, description});
  return formats;
}

bool is_native_format(std::string_view name) {
  const TovelXylibModule* module = loaded_module().module;
  return module != nullptr && module->has_format(std::string(name).c_str());
}

NativeText read_native_file(const std::string& name, const std::string& format, int block,
                            const LineRules& rules) {
  NativeText read;
  const LoadedModule& loaded = loaded_module();
  if (loaded.module == nullptr) {
    read.failure = cannot_read(name, loaded.failure);
    return read;
  }
  ReadTexts texts;
  read.blocks =
      loaded.module->read(name.c_str(), format.c_str(), block, rules.x_column, rules.y_column,
                          rules.decimal_comma, &texts, keep_points, keep_failure);
  if (texts.lost) throw std::bad_alloc();
  if (read.blocks < 0) {
    read.failure = cannot_read(name, std::move(texts.failure));
  } else {
    read.text = std::move(texts.points);
  }
  return read;
}

}  // namespace tovel
