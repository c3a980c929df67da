#pragma once

// What the software list shows: one row per record that has a status, and the changes note a
// row's double click opens.

#include <string>
#include <vector>

#include "monitor/software_record.h"

namespace tarvo {

struct SoftwareRow {
  std::string product;
  std::string version;
  std::string status;       // "Active", "Removed", "Old" or empty
  std::string installed;    // display date
  std::string lastChecked;  // display date
  std::string errorcodes;
};

// The rows, in register order. An old record's check result no longer matters and is cleared.
std::vector<SoftwareRow> SoftwareRows(std::vector<SoftwareRecord>& records, int dateOrder);

struct ChangesNote {
  std::string path;   // data folder + the version's first four characters + ".vsn"
  std::string title;  // "Changes in version: " + those characters
  bool usable = false;  // false when the characters would name a file outside the data folder
};
ChangesNote ChangesNoteFor(const std::string& dataFolder, const std::string& version);

}  // namespace tarvo
