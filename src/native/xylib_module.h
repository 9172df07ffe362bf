#pragma once

// The interface between the program and its instrument-format module, which
// holds xylib. The module is opened only when an instrument file, a format
// name or the list of formats is asked for, so a run on text files neither
// loads xylib nor pays for binding it. Only C types cross: the module and
// the program each keep their own C++ library.

#include <cstddef>

extern "C" {

// Receives a piece of text from the module: the points of a block, or the
// reason a file cannot be read.
typedef void (*TovelTextSink)(void* context, const char* text, std::size_t length);

struct TovelXylibModule {
  int interface_version;  // kTovelXylibInterface
  // xylib's version, as "1.6".
  const char* (*version)();
  // The formats xylib reads other than its own text format, from index 0 on:
  // false past the last.
  bool (*format)(int index, const char** name, const char** description);
  // Whether `name` is one of those formats.
  bool (*has_format)(const char* name);
  // Reads block `block` (from 1) of the file `name` as the format `format`,
  // or as the one xylib recognises when it is empty, and sends the text of
  // its points, a line a point, to `points`: the values of columns x_column
  // and y_column (from 1; 0 is the point's number), each rounded once to
  // binary32 and written with 9 significant digits, a decimal comma in them
  // and semicolons between them when `decimal_comma` holds; a column before
  // the later of the two that is neither is 0. Returns the blocks the file
  // holds, or -1 when it cannot be read so, after sending why to `failure`.
  // Safe on any thread: xylib is called by one thread at a time.
  int (*read)(const char* name, const char* format, int block, int x_column, int y_column,
              bool decimal_comma, void* context, TovelTextSink points, TovelTextSink failure);
};

// The one symbol the module exports.
const TovelXylibModule* tovel_xylib_module();
}

inline constexpr int kTovelXylibInterface = 1;

// The module's file name, beside the program in a build tree and in the
// program's libexec/tovel directory when installed.
inline constexpr const char* kTovelXylibModuleName = "tovel-xylib.so";
