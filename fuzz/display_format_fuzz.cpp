// Display format files and viewed tables on any bytes: the format reader, a save and reload
// of what was read, and splitting and sorting the bytes as a table in every sort type.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "viewer/display_format.h"
#include "viewer/text_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = "/tmp";
  static const std::string viewed = "/tmp/tarvo-fuzz-" + std::to_string(getpid()) + ".csv";
  PutFuzzFile(data, size);

  tarvo::DisplayFormat format = tarvo::NewDisplayFormat(viewed, "table");
  format.formatPath = FuzzFilePath();
  // Read the fuzz bytes as a format file of this name.
  tarvo::DisplayFormat read = tarvo::NewDisplayFormat(FuzzFilePath(), "text");
  tarvo::LoadDisplayFormat(read, folder);

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
