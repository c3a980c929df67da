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
Result WriteDelimited(DataFile& file, const std::vector<std::string>& fields, std::size_t count,
                      char separator);

}  // namespace tarvo
