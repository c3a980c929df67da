#pragma once

// A fresh home drive, runtime folder and program folder for starting the program, in this
// process or as a real child process.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace tarvo::test {

class AppFolders {
 public:
  AppFolders() {
    std::filesystem::copy(TARVO_SOURCE_DIR "/resources/program", program.path(),
                          std::filesystem::copy_options::recursive);
    runtimePath_ = runtime.path() + "/run";
    std::filesystem::create_directory(runtimePath_);
    std::filesystem::permissions(runtimePath_, std::filesystem::perms::owner_all);
  }

  // Points this process's environment at the folders.
  void useInThisProcess() const {
    setenv("HOMEDRIVE", home.path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtimePath_.c_str(), 1);
  }

  [[nodiscard]] std::string data(const std::string& name = "") const {
    return home.file("$Tarvo/" + name);
  }
  [[nodiscard]] const std::string& runtimePath() const { return runtimePath_; }

  TempFolder home;
  TempFolder program;
  TempFolder runtime;

 private:
  std::string runtimePath_;
};

}  // namespace tarvo::test
