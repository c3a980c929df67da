// The checklist reader on any bytes: it never crashes, and what it reads is written in a form
// that reads back as the same items.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/checklist.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFuzzFile(data, size);
  const tarvo::ResultOf<tarvo::ChecklistItems> items = tarvo::ReadChecklist(FuzzFilePath());
  if (!items) return 0;
  for (const tarvo::ChecklistItem& item : *items) (void)tarvo::LinkTargetToOpen(item.link);
  (void)tarvo::ProgressOf(*items);
  const std::string again = FuzzFilePath() + ".again";
  if (!tarvo::WriteChecklist(again, *items)) return 0;
  const tarvo::ResultOf<tarvo::ChecklistItems> reread = tarvo::ReadChecklist(again);
  if (!reread || *reread != *items) std::abort();
  return 0;
}
