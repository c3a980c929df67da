#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tarvo::LinkScan scan = tarvo::FindLink(text);
  if (scan.link.found) {
    if (scan.link.start < 1 || scan.link.start + scan.link.length > static_cast<int>(size) + 1) {
      __builtin_trap();
    }
  } else if (scan.next != -1) {
    __builtin_trap();
  }
  return 0;
}
