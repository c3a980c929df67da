// The notes' RTF reader on any bytes: it never crashes or hangs, and whatever it reads is
// written and read back as the same note (so a note that loads also saves without loss).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "content/rtf_reader.h"
#include "content/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tarvo::ResultOf<tarvo::RichDocument> read = tarvo::ReadRtf(bytes);
  if (!read.ok()) {
    if (read.reason().empty()) __builtin_trap();
    return 0;
  }
  const std::string written = tarvo::WriteRtf(read.value());
  for (const char c : written) {
    if ((c & 0x80) != 0) __builtin_trap();  // the writer's output is 7-bit
  }
  const tarvo::ResultOf<tarvo::RichDocument> again = tarvo::ReadRtf(written);
  if (!again.ok() || !again.note().empty() || !(again.value() == read.value())) __builtin_trap();
  return 0;
}
