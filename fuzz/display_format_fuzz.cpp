// Display format files and viewed tables on any bytes: the format reader, a save and reload
// of what was read, and splitting and sorting the bytes as a table in every sort type.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_file.h"
#include "viewer/display_format.h"
#include "viewer/text_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFuzzFile(data, size);

  // The fuzz file is its own format file: "tarvo-fuzz-<pid>.dat" in /tmp reads
  // "tarvo-fuzz-<pid>.~dat", so read the bytes under that name too.
  tarvo::DisplayFormat read = tarvo::NewDisplayFormat(FuzzFilePath(), "text");
  read.formatPath = FuzzFilePath();
  (void)tarvo::LoadDisplayFormat(read, "/tmp");  // damaged formats are what is fuzzed
  const std::string formatFile = tarvo::FormatPathFor("/tmp", FuzzFilePath());
  std::rename(FuzzFilePath().c_str(), formatFile.c_str());
  (void)tarvo::LoadDisplayFormat(read, "/tmp");  // damaged formats are what is fuzzed
  std::rename(formatFile.c_str(), FuzzFilePath().c_str());

  tarvo::TextDocument document;
  if (!document.load(FuzzFilePath())) return 0;
  tarvo::TableRows rows;
  rows.build(document, size % 2, size % 3 == 0 ? tarvo::TableRows::Shape::Records
                                                : tarvo::TableRows::Shape::Table);
  for (const char* type : {"number", "date1", "date2", "date3", "date4", "text"}) {
    rows.sort(size % 4, type, (size & 1) != 0);
    for (std::size_t i = 0; i < rows.rowCount(); ++i) {
      if (rows.field(i, 0).size() > size) __builtin_trap();
    }
  }
  return 0;
}
