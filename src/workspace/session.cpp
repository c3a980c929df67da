#include "workspace/session.h"

#include <sys/utsname.h>

#include <cstdlib>

#include "platform/process_helpers.h"
#include "store/crypto_library.h"
#include "store/file_system.h"
#include "structure/deadline.h"

namespace tarvo {
namespace {

std::string Environment(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? std::string(value) : fallback;
}

}  // namespace

SystemInfo SystemInfo::Read() {
  utsname name{};
  uname(&name);
  return {Environment("PROCESSOR_ARCHITECTURE", name.machine), Environment("OS", name.sysname),
          OsVersionText()};
}

Session::Session(DataFolders dataFolders) : folders(std::move(dataFolders)) {}

Session::~Session() = default;

void Session::start() {
  system = SystemInfo::Read();
  if (Result made = folders.createFolders(); !made) {
    foldersReady_ = false;
    structureProblem_ = "*** The data folder " + folders.data + " could not be created: " + made.reason();
    structureNotice_ = structureProblem_;
  }
  log.setPath(folders.mainLog);

  preferences.path = folders.preferences;
  // A missing file is a first start; any other failure keeps the defaults and says so.
  if (Result loaded = preferences.load(); !loaded && fileSystem().exists(preferences.path)) {
    log.Report(loaded, "*** The preferences cannot be read; the defaults are used");
  }
  log.setDateFormat(preferences.dateFormat);
  screen.path = folders.screen;
  if (Result loaded = screen.load(); !loaded && fileSystem().exists(screen.path)) {
    log.Report(loaded, "*** The window layout cannot be read; the defaults are used");
  }

  // An unreadable file is kept as it is: the settings are then used but never saved over it.
  if (Result loaded = LoadNetSettings(folders.network, network); !loaded) {
    log.Report(loaded, "*** The shared-folder settings cannot be read");
  }
  FillDefaultUserName(network);

  workspace.setPageFolders({folders.packs, folders.checklists, folders.notes});
  if (foldersReady_) loadStructure();
  if (!structureProblem_.empty()) log.LogError(structureProblem_, "the file was left as it is");
  upgradeData();

  for (const std::string& problem : workspace.buildTree(Moment::Now()).problems) {
    log.LogError(problem, "the topic was kept");
  }
  // After the tree: the recent lists look their topics up by id, which waits for a large
  // load's index, and the tree is built while that is being made.
  log.Report(workspace.loadRecentLists(folders.recentChanges, folders.recentNew),
             "*** The recent topic lists cannot be read");
  crypto = std::make_unique<CryptoLibrary>();
  log.Report(folders.copyShippedFiles(), "*** The shipped display formats cannot be copied");
  install = LoadInstallInfo(folders);
  for (const std::string& problem : install.problems) log.LogError(problem, "the defaults are used");
}

void Session::loadStructure() {
  const StructureLoad load = workspace.loadStructure(folders.data, folders.program);
  if (load.outcome == StructureLoad::Outcome::Unreadable) {
    structureProblem_ = load.message;
    structureNotice_ = load.message +
                       "\n\nYour topics were not loaded, and the file will not be written over. "
                       "Restore it or a backup copy, then start again.";
  } else if (!load.message.empty()) {
    log.LogError(load.message, load.restoredFrom.empty() ? "a new tree was started" : "restored from " + load.restoredFrom);
    structureNotice_ = load.message;
  }
  if (!load.note.empty()) log.LogMessage(load.note);
}

// Folders written by older versions lose the system flag of their topics; the data version
// is then brought up to date.
void Session::upgradeData() {
  if (preferences.lastVersion == kDataVersion) return;
  if (preferences.lastVersion < kDataVersion) workspace.upgradeLegacyData();
  preferences.lastVersion = kDataVersion;
  savePreferences();
}

void Session::savePreferences() {
  log.Report(preferences.save(), "*** The preferences cannot be saved");
}

bool Session::saveStructure() {
  return log.Report(workspace.saveStructureIfChanged(),
                    "*** A problem occurred while saving the structure: ");
}

bool Session::saveRecentLists() {
  bool saved = log.Report(workspace.saveRecentList(workspace.recentChanges()),
                          "*** The list of recent changes cannot be saved");
  saved = log.Report(workspace.saveRecentList(workspace.recentNew()),
                     "*** The list of new topics cannot be saved") && saved;
  return saved;
}

bool Session::autosave(bool fromTimer) {
  bool saved = saveStructure();
  if (fromTimer) saved = saveRecentLists() && saveNetworkSettings() && saved;
  return saved;
}

bool Session::saveNetworkSettings() {
  if (!network.readable) return true;
  return log.Report(SaveNetSettingsIfChanged(folders.network, network), "*** The shared-folder settings cannot be saved");
}

bool Session::closeDown() {
  bool saved = log.Report(screen.save(), "*** The window layout cannot be saved");
  saved = saveNetworkSettings() && saved;
  saved = saveRecentLists() && saved;
  return saveStructure() && saved;
}

void Session::setDateFormat(int dateFormat) {
  if (preferences.dateFormat == dateFormat) return;
  preferences.dateFormat = dateFormat;
  log.setDateFormat(dateFormat);
  savePreferences();
}

void Session::setSoundEffects(bool on) {
  if (preferences.soundEffects == on) return;
  preferences.soundEffects = on;
  savePreferences();
}

void Session::setShowSummary(bool on) {
  if (preferences.showSummary == on) return;
  preferences.showSummary = on;
  savePreferences();
}

void Session::setNotesFont(const std::string& name, int size, int colour, int charset) {
  preferences.fontName = name;
  preferences.fontSize = size;
  preferences.fontColour = colour;
  preferences.fontCharset = charset;
  savePreferences();
}

}  // namespace tarvo
