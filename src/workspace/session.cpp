#include "workspace/session.h"

#include <sys/utsname.h>

#include <cstdlib>

#include "platform/process_helpers.h"
#include "store/crypto_library.h"
#include "structure/deadline.h"
#include "structure/structure_file.h"
#include "structure/tree_build.h"

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

Session::Session(DataFolders dataFolders)
    : folders(std::move(dataFolders)), recentChanges(Structure::Order::Insertion),
      recentNew(Structure::Order::Insertion) {}

Session::~Session() = default;

void Session::start() {
  system = SystemInfo::Read();
  if (!folders.createFolders()) {
    structureReadable_ = false;
    structureProblem_ = "*** The data folder " + folders.data + " could not be created";
  }
  log.setPath(folders.mainLog);

  preferences.path = folders.preferences;
  preferences.load();
  log.setDateFormat(preferences.dateFormat);
  screen.path = folders.screen;
  screen.load();

  if (structureReadable_) loadStructure();
  if (!structureProblem_.empty()) log.LogError(structureProblem_, "the file was left as it is");
  upgradeData();

  recentChanges.path = folders.recentChanges;
  recentNew.path = folders.recentNew;
  for (Structure* list : {&recentChanges, &recentNew}) {
    LoadRefList(*list);
    RelinkList(*list, master, kRecentListLimit);
  }

  for (const std::string& problem : BuildTree(master, tree, Moment::Now()).problems) {
    log.LogError(problem, "the topic was kept");
  }
  crypto = std::make_unique<CryptoLibrary>();
  folders.copyShippedFiles();
  install = LoadInstallInfo(folders);
}

void Session::loadStructure() {
  SetStructurePaths(master, folders.data, folders.program);
  const StructureLoad load = LoadStructureOrBackup(master);
  if (load.outcome == StructureLoad::Outcome::Unreadable) {
    structureReadable_ = false;
    structureProblem_ = load.message;
  } else if (!load.restoredFrom.empty()) {
    log.LogError(load.message, "restored from " + load.restoredFrom);
  }
}

// Folders written by older versions lose the system flag of their topics; the data version
// is then brought up to date.
void Session::upgradeData() {
  if (preferences.lastVersion == kDataVersion) return;
  if (preferences.lastVersion < kDataVersion) {
    bool changed = false;
    for (const Structure::Entry& entry : master.entries()) {
      TopicRecord* record = entry.record;
      if (record == nullptr || record->lev == 0 || record->type != kMainSection) continue;
      if (record->sys) {
        record->sys = false;
        changed = true;
      }
    }
    if (changed) master.dirty = true;
  }
  preferences.lastVersion = kDataVersion;
  preferences.save();
}

bool Session::saveStructureIfDirty() {
  if (!structureReadable_ || !master.dirty) return true;
  RebuildFromTree(master, tree);
  if (SaveStructure(master)) return true;
  log.LogError("*** A problem occurred while saving the structure: ");
  return false;
}

bool Session::saveRecentList(Structure& list) {
  if (!list.dirty) return true;
  RelinkList(list, master, kRecentListLimit);
  return SaveRefList(list);
}

bool Session::autosave(bool fromTimer) {
  bool saved = saveStructureIfDirty();
  if (fromTimer) {
    saved = saveRecentList(recentChanges) && saved;
    saved = saveRecentList(recentNew) && saved;
  }
  return saved;
}

bool Session::closeDown() {
  bool saved = saveRecentList(recentChanges);
  saved = saveRecentList(recentNew) && saved;
  return saveStructureIfDirty() && saved;
}

void Session::setDateFormat(int dateFormat) {
  if (preferences.dateFormat == dateFormat) return;
  preferences.dateFormat = dateFormat;
  log.setDateFormat(dateFormat);
  preferences.save();
}

void Session::setSoundEffects(bool on) {
  if (preferences.soundEffects == on) return;
  preferences.soundEffects = on;
  preferences.save();
}

void Session::setShowSummary(bool on) {
  if (preferences.showSummary == on) return;
  preferences.showSummary = on;
  preferences.save();
}

void Session::setNotesFont(const std::string& name, int size, int colour, int charset) {
  preferences.fontName = name;
  preferences.fontSize = size;
  preferences.fontColour = colour;
  preferences.fontCharset = charset;
  preferences.save();
}

}  // namespace tarvo
