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
  tarvo::DataFilePtr file = OrNull(tarvo::OpenSecureFile(FuzzFilePath(), "R", 0));
  if (!file) return 0;
  tarvo::PairList pairs;
  tarvo::ReadPairs(*file, pairs);
  file.reset();

  // Pairs written securely read back the same, unless a key holds a quote, "=" or a TAB
  // (their written form is then read with another split).
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (pairs.key(i).find_first_of("\"=\t") != std::string_view::npos) return 0;
  }
  tarvo::DataFilePtr out = OrNull(tarvo::OpenSecureFile(FuzzFilePath(), "W", 0));
  if (!out || !tarvo::WriteSecurePairs(*out, pairs)) return 0;
  out.reset();
  tarvo::DataFilePtr again = OrNull(tarvo::OpenSecureFile(FuzzFilePath(), "R", 0));
  if (!again) return 0;
  tarvo::PairList read;
  tarvo::ReadPairs(*again, read);
  if (read.size() != pairs.size()) __builtin_trap();
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (read.key(i) != pairs.key(i) || read.value(i) != pairs.value(i)) __builtin_trap();
  }
  return 0;
}
