#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int start = data[0] % 64;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const tarvo::NumberScan scan = tarvo::ParseNumber(text, start);
  if (scan.end > static_cast<int>(text.size()) + 1 || scan.value < 0) __builtin_trap();
  return 0;
}
