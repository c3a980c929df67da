#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_file.h"
#include "store/data_file.h"
#include "store/pair_stream.h"

// Lines and pairs of a plain file: every line-end mix, NUL bytes, quotes and blanks.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFuzzFile(data, size);
  for (int pass = 0; pass < 2; ++pass) {
    tarvo::DataFilePtr file = OrNull(tarvo::OpenDataFile(FuzzFilePath(), "R", 0));
    if (!file) return 0;
    if (pass == 0) {
      std::string line;
      std::size_t total = 0;
      while (tarvo::ReadLine(*file, line) >= 0) total += line.size();
      if (total > size) __builtin_trap();
    } else {
      tarvo::PairList pairs;
      tarvo::ReadPairs(*file, pairs);
      std::size_t total = 0;
      for (std::size_t i = 0; i < pairs.size(); ++i) total += pairs.key(i).size() + pairs.value(i).size();
      if (total > size) __builtin_trap();
      // The streaming reader gives exactly the same pairs.
      std::size_t index = 0;
      tarvo::ForEachPairIn({reinterpret_cast<const char*>(data), size},
                           [&](std::string_view key, std::string_view value, std::size_t) {
                             if (index >= pairs.size() || key != pairs.key(index) || value != pairs.value(index)) {
                               __builtin_trap();
                             }
                             ++index;
                             return true;
                           });
      if (index != pairs.size()) __builtin_trap();
    }
  }
  return 0;
}
