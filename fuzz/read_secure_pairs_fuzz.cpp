#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_file.h"
#include "store/data_file.h"

// Secure files: with and without the header, short, and written then read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFuzzFile(data, size);
  tarvo::DataFilePtr file = tarvo::OpenSecureFile(FuzzFilePath(), "R", 0);
  if (!file) return 0;
  tarvo::TextList keys, values;
  tarvo::ReadPairs(*file, keys, values);
  file.reset();

  // Pairs written securely read back the same, unless a key holds a quote or "=" (their
  // written form is then read with another split).
  for (const std::string& key : keys) {
    if (key.find_first_of("\"=") != std::string::npos) return 0;
  }
  tarvo::DataFilePtr out = tarvo::OpenSecureFile(FuzzFilePath(), "W", 0);
  if (!out || !tarvo::WriteSecurePairs(*out, keys, values)) return 0;
  out.reset();
  tarvo::DataFilePtr again = tarvo::OpenSecureFile(FuzzFilePath(), "R", 0);
  if (!again) return 0;
  tarvo::TextList keys2, values2;
  tarvo::ReadPairs(*again, keys2, values2);
  if (keys2 != keys || values2 != values) __builtin_trap();
  return 0;
}
