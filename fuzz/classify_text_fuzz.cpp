#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t ignoreLength = data[0] % 4;
  const std::size_t extraLength = data[1] % 4;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (rest.size() < ignoreLength + extraLength) return 0;
  const int kind = tarvo::ClassifyText(rest.substr(ignoreLength + extraLength),
                                       rest.substr(0, ignoreLength),
                                       rest.substr(ignoreLength, extraLength));
  if (kind != -1 && kind != 2 && kind != 3 && kind != 5 && kind != 6) __builtin_trap();
  return 0;
}
