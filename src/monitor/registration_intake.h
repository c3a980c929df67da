#pragma once

// Taking in the registration files ("*.pre") that installers leave in the data folder: each
// valid one becomes an active record of the register (the record it replaces in the same
// folder is marked old, or replaced when it was not older), gets its version folder and a line
// in its product's history; every file is deleted once read, accepted or not.
//
// A product, version or instance that would name a folder outside the data folder is refused
// like an empty one: the files come from other programs.

#include <string>

#include "monitor/monitor_log.h"
#include "monitor/software_register.h"

namespace tarvo {

struct IntakeFolders {
  std::string data;     // ends with the delimiter
  std::string program;  // ends with the delimiter; the install folder of a file that names none
};

struct IntakeOutcome {
  bool changed = false;   // the register changed
  bool rejected = false;  // the last file read was refused
  int accepted = 0;
};

IntakeOutcome TakeInRegistrations(SoftwareRegister& softwareRegister, const IntakeFolders& folders,
                                  const MonitorLog& log);

// True when the text can be one folder name inside the data folder.
bool IsPlainName(const std::string& name);

}  // namespace tarvo
