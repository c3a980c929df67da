#include <cstddef>
#include <cstdint>

#include "fuzz_file.h"
#include "monitor/update_info.h"

// An update list as a server may send it: any bytes, any keys, in any case.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFuzzFile(data, size);
  const tarvo::ResultOf<tarvo::UpdateInfo> info = tarvo::ReadUpdateInfo(FuzzFilePath());
  if (!info) return 0;
  const std::size_t total = info->application.size() + info->version.size() + info->date.size() +
                            info->rollback.size() + info->earliestversion.size() + info->url.size() +
                            info->silent.size() + info->signature.size();
  if (total > size) __builtin_trap();
  return 0;
}
