#include "viewer/delimited_writer.h"

namespace tarvo {

std::string DelimitedLine(const std::vector<std::string>& fields, std::size_t count, char separator) {
  if (count < 2) return fields.empty() ? std::string() : fields.front();
  std::string line;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) line += separator;
    line += '"';
    if (i < fields.size()) line += fields[i];
    line += '"';
  }
  return line;
}

Result WriteDelimited(DataFile& file, const std::vector<std::string>& fields, std::size_t count,
                      char separator) {
  return WriteLine(file, DelimitedLine(fields, count, separator));
}

}  // namespace tarvo
