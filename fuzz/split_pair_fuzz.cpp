#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/line_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string key, value;
  tarvo::SplitPair(text, '=', key, value);
  if (key.size() + value.size() > size) __builtin_trap();
  return 0;
}
