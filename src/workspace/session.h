#pragma once

// Everything the main window keeps for a run, without the window: the data folder and its
// settings, the topic structure and tree, the recent lists, the log. The window calls these
// steps and only adds what is shown.
//
// Threading: user-interface thread only.

#include <memory>
#include <string>

#include "workspace/data_folders.h"
#include "workspace/install_info.h"
#include "workspace/main_log.h"
#include "workspace/preferences.h"
#include "structure/structure.h"
#include "structure/topic_tree.h"

namespace tarvo {

class CryptoLibrary;

struct SystemInfo {
  std::string processor;  // PROCESSOR_ARCHITECTURE, else the machine's type
  std::string system;     // OS, else the kernel's name
  std::string version;    // major.minor

  static SystemInfo Read();
};

class Session {
 public:
  explicit Session(DataFolders folders);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The start-up steps after the single-instance test: folders, preferences, layout,
  // structure and recent lists, tree, encryption library, shipped files, installation.
  void start();

  // Autosave: the structure when changed (and readable at start), and on the timer the recent
  // lists that changed. False when a save failed (it is logged and tried again next time).
  bool autosave(bool fromTimer);
  // The saves of shutdown: recent lists, then the structure.
  bool closeDown();

  // Preference commands: store a changed value and save pref.txt at once.
  void setDateFormat(int dateFormat);
  void setSoundEffects(bool on);
  void setShowSummary(bool on);
  void setNotesFont(const std::string& name, int size, int colour, int charset);

  [[nodiscard]] bool structureReadable() const { return structureReadable_; }
  // The "*** " text shown to the user when the structure file could not be read.
  [[nodiscard]] const std::string& structureProblem() const { return structureProblem_; }

  DataFolders folders;
  SystemInfo system;
  Preferences preferences;
  ScreenLayout screen;
  InstallInfo install;
  Structure master;
  TopicTree tree;
  Structure recentChanges;
  Structure recentNew;
  MainLog log;
  std::unique_ptr<CryptoLibrary> crypto;

 private:
  void loadStructure();
  void upgradeData();
  bool saveStructureIfDirty();
  bool saveRecentList(Structure& list);

  bool structureReadable_ = true;
  std::string structureProblem_;
};

}  // namespace tarvo
