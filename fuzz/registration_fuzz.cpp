#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "monitor/software_register.h"
#include "store/data_file.h"
#include "store/pair_stream.h"

namespace {

bool Same(const tarvo::SoftwareRecord& a, const tarvo::SoftwareRecord& b) {
  for (const tarvo::RecordKey& key : tarvo::RecordKeys()) {
    if (a.*key.field != b.*key.field) return false;
  }
  if (a.execs.size() != b.execs.size()) return false;
  for (std::size_t i = 0; i < a.execs.size(); ++i) {
    if (a.execs[i].exec != b.execs[i].exec || a.execs[i].pipe != b.execs[i].pipe ||
        a.execs[i].command != b.execs[i].command) {
      return false;
    }
  }
  return true;
}

}  // namespace

// A registration file left by any installer, and the register: read in both modes, and a
// register written from what was read reads back as the same records.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFuzzFile(data, size);
  const tarvo::ResultOf<std::vector<tarvo::SoftwareRecord>> single =
      tarvo::ReadRegister(FuzzFilePath(), tarvo::RegisterMode::Single);
  if (single && single->size() != 1) __builtin_trap();
  tarvo::ResultOf<std::vector<tarvo::SoftwareRecord>> list =
      tarvo::ReadRegister(FuzzFilePath(), tarvo::RegisterMode::List);
  if (!list) return 0;
  // The bytes the register file would hold, read back as the reader reads a file.
  const std::string written = tarvo::PairFileBytes(tarvo::RegisterPairs(*list));
  tarvo::PairList pairs;
  tarvo::ForEachPairIn(written, [&pairs](std::string_view key, std::string_view value, std::size_t) {
    pairs.add(key, value);
    return true;
  });
  const tarvo::ResultOf<std::vector<tarvo::SoftwareRecord>> reread =
      tarvo::RecordsFromPairs(pairs, tarvo::RegisterMode::List);
  if (!reread || reread->size() != list->size()) __builtin_trap();
  for (std::size_t i = 0; i < list->size(); ++i) {
    if (!Same(list->at(i), reread->at(i))) __builtin_trap();
  }
  return 0;
}
