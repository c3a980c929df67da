#pragma once

// Writing a table back out as delimited lines, for "Save copy".

#include <string>
#include <vector>

#include "store/data_file.h"

namespace tarvo {

// One line of `count` fields: with fewer than two fields the first field alone, unquoted;
// otherwise every field in double quotes (missing ones as ""), joined by `separator`.
// Quotes inside a field are written as they are.
std::string DelimitedLine(const std::vector<std::string>& fields, std::size_t count, char separator);
bool WriteDelimited(DataFile& file, const std::vector<std::string>& fields, std::size_t count,
                    char separator);

// The sort in force in the viewer windows: one for the whole program, so a sort made in one
// window is not restored when another loads.
struct ViewerSort {
  int column = -1;
  bool ascending = false;
};
ViewerSort& SharedViewerSort();

}  // namespace tarvo
