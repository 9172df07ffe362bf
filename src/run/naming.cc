#include "run/naming.h"

#include <string>

namespace tovel {
namespace {

// The prefix length: the name is expected to read PREFIX0001.EXT, so the
// prefix ends four characters before the first point; failing that it ends
// before the first "0001"; failing that it is the whole name.
int prefix_length(const Name& dname) {
  const std::string_view name = dname.full();
  const std::size_t point = name.find('.');
  int fn = point == std::string_view::npos ? -5 : static_cast<int>(point + 1) - 5;
  if (fn <= 0) {
    const std::size_t first = name.find("0001");
    fn = first == std::string_view::npos ? -1 : static_cast<int>(first);
  }
  if (fn <= 0) fn = static_cast<int>(dname.trimmed().size());
  return fn;
}

}  // namespace

SeriesNaming::SeriesNaming(const Name& dname) : dname_(dname), fn_(prefix_length(dname)) {
  const std::string prefix_text(prefix());
  fname0_.assign("All_" + prefix_text + ".txt");
  fname1_.assign("All_" + prefix_text + ".csv");
  fname2_.assign("All_*");
  picture_.assign("All_" + prefix_text + ".svg");
}

FileNames SeriesNaming::file(int i) const {
  FileNames names;
  const char mc[4] = {static_cast<char>('0' + i / 1000 % 10), static_cast<char>('0' + i / 100 % 10),
                      static_cast<char>('0' + i / 10 % 10), static_cast<char>('0' + i % 10)};
  names.mc.assign({mc, 4});
  char text[40];
  const std::string_view p = prefix();
  p.copy(text, p.size());
  std::copy_n(mc, 4, text + p.size());
  names.oname.assign({text, p.size() + 4});
  std::copy_n(".DAT", 4, text + p.size() + 4);
  names.fname.assign({text, p.size() + 8});
  return names;
}

}  // namespace tovel
