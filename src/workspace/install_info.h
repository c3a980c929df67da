#pragma once

// The installation parameters (Install.dat, scrambled): which product this installation is,
// and carried settings of the installer.

#include <string>
#include <vector>

#include "workspace/data_folders.h"

namespace tarvo {

struct InstallInfo {
  std::string product = kProductName;
  std::string type = "A";
  std::string supplier = "Tarvo Software";
  std::string ftpaccount = "Tarvo Account 1";
  int dateformat = 0;

  // True when this start installed fresh parameters shipped beside the program.
  bool freshInstallation = false;
  // "*** " texts of what went wrong; the parameters above are still usable.
  std::vector<std::string> problems;
};

// Reads the first of program/Install.pre, program/Install.prz and data/Install.dat, fills empty
// values with the defaults and writes data/Install.dat. A shipped Install.pre is moved into
// the data folder (a fresh installation); a shipped Install.prz is used once and deleted. A
// shipped file is deleted only once its content is safe in the data folder.
InstallInfo LoadInstallInfo(const DataFolders& folders);

}  // namespace tarvo
