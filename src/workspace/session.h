#pragma once

// Everything the main window keeps for a run, without the window: the data folder and its
// settings, the log, and the workspace document with the topic structure. The window calls
// these steps and only adds what is shown.
//
// Failures are logged here with their "*** " line and the system's reason; the data in memory
// is kept, and an autosave that failed is tried again at the next one.
// Threading: user-interface thread only.

#include <memory>
#include <string>

#include "sharing/net_settings.h"
#include "workspace/data_folders.h"
#include "workspace/install_info.h"
#include "workspace/main_log.h"
#include "workspace/preferences.h"
#include "workspace/workspace.h"

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
  // The saves of shutdown: the window layout, the recent lists, then the structure.
  bool closeDown();

  // Writes net.txt when the shared-folder settings changed (at once after a connect or
  // disconnect, so the next start connects as the user left it; else with the autosave).
  bool saveNetworkSettings();

  // Preference commands: store a changed value and save pref.txt at once.
  void setDateFormat(int dateFormat);
  void setSoundEffects(bool on);
  void setShowSummary(bool on);
  void setNotesFont(const std::string& name, int size, int colour, int charset);

  [[nodiscard]] bool structureReadable() const { return workspace.structureReadable() && foldersReady_; }
  // The "*** " text shown to the user when the structure file could not be read.
  [[nodiscard]] const std::string& structureProblem() const { return structureProblem_; }
  // What the user must be told about the structure file at start: it could not be read, it
  // was brought back from a backup, or it held nothing. Empty when all was well.
  [[nodiscard]] const std::string& structureNotice() const { return structureNotice_; }

  DataFolders folders;
  SystemInfo system;
  Preferences preferences;
  ScreenLayout screen;
  NetSettings network;  // the shared-folder connection; its panel connects at start
  InstallInfo install;
  Workspace workspace;
  MainLog log;
  std::unique_ptr<CryptoLibrary> crypto;

 private:
  void loadStructure();
  void upgradeData();
  bool saveStructure();
  bool saveRecentLists();
  void savePreferences();

  bool foldersReady_ = true;
  std::string structureProblem_;
  std::string structureNotice_;
};

}  // namespace tarvo
