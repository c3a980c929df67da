#pragma once

// Where everything lives: the per-user data folder with its sub-folders and files, and the
// program folder with what ships beside the program.

#include <string>

#include "base/result.h"

namespace tarvo {

inline constexpr const char* kProductName = "Tarvo-1";
inline constexpr const char* kDataVersion = "1-17";

struct DataFolders {
  std::string data;  // $HOMEDRIVE/$Tarvo (HOME when HOMEDRIVE is not set)
  std::string notes;
  std::string checklists;
  std::string packs;
  std::string outbox;
  std::string formats;
  std::string control;
  std::string mainLog;
  std::string preferences;
  std::string network;
  std::string screen;
  std::string recentChanges;
  std::string recentNew;
  std::string install;
  std::string program;  // the program's own folder
  std::string helpFile;

  static DataFolders For(const std::string& homeDrive, const std::string& programFolder);
  // Creates the data folder and its five sub-folders when missing.
  Result createFolders() const;
  // Creates the control folder and copies the shipped display formats ("*.~txt") and version
  // notes ("*.vsn") that the data folder lacks; existing copies are never overwritten. Goes on
  // past a file that cannot be copied and reports the first failure.
  Result copyShippedFiles() const;
};

// Where the shipped files are for a program started from `executableFolder`: beside it (a
// build tree, or a copy of the program with its files), else in the installed layout's
// "../share/tarvo". The folder beside the program when neither holds the default structure.
std::string FindProgramFolder(const std::string& executableFolder);

// The data folder's root: HOMEDRIVE when set, else HOME. A failure when neither is set: the
// data must not land in whatever folder the program happens to start in.
ResultOf<std::string> HomeDrive();

}  // namespace tarvo
