#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/line_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char separator = static_cast<char>(data[0]);
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> fields;
  tarvo::SplitDelimited(text, fields, separator);
  if (fields.empty()) __builtin_trap();
  return 0;
}
