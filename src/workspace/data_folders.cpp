#include "workspace/data_folders.h"

#include <cstdlib>
#include <vector>

#include "store/file_system.h"
#include "store/folder_listing.h"
#include "store/safe_replace.h"

namespace tarvo {

std::string FindProgramFolder(const std::string& executableFolder) {
  FileSystem& files = fileSystem();
  const std::string installed = JoinPath(FolderOf(executableFolder), "share/tarvo");
  for (const std::string& folder : {executableFolder, installed}) {
    if (files.exists(JoinPath(folder, "Structure.dat"))) return folder;
  }
  return executableFolder;
}

ResultOf<std::string> HomeDrive() {
  for (const char* variable : {"HOMEDRIVE", "HOME"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return std::string(value);
  }
  return Result::Failure("neither HOMEDRIVE nor HOME is set, so there is no place for the data folder");
}

DataFolders DataFolders::For(const std::string& homeDrive, const std::string& programFolder) {
  DataFolders folders;
  folders.data = JoinPath(homeDrive, "$Tarvo");
  folders.notes = JoinPath(folders.data, "Text");
  folders.checklists = JoinPath(folders.data, "CheckList");
  folders.packs = JoinPath(folders.data, "Packs");
  folders.outbox = JoinPath(folders.data, "Outbox");
  folders.formats = JoinPath(folders.data, "Formats");
  folders.control = JoinPath(folders.data, "$Control");
  folders.mainLog = JoinPath(folders.data, "MainLog.txt");
  folders.preferences = JoinPath(folders.data, "pref.txt");
  folders.network = JoinPath(folders.data, "net.txt");
  folders.screen = JoinPath(folders.data, "screen.dat");
  folders.recentChanges = JoinPath(folders.data, "strchanges.dat");
  folders.recentNew = JoinPath(folders.data, "strnew.dat");
  folders.install = JoinPath(folders.data, "Install.dat");
  folders.program = programFolder;
  folders.helpFile = JoinPath(programFolder, std::string(kProductName) + ".html");
  return folders;
}

namespace {

Result MakeFolderWhenMissing(const std::string& folder) {
  FileSystem& files = fileSystem();
  return files.isFolder(folder) ? Result() : files.makeFolder(folder);
}

// Keeps the first failure of a series that goes on past failures.
void KeepFirst(Result& first, Result next) {
  if (first && !next) first = std::move(next);
}

}  // namespace

Result DataFolders::createFolders() const {
  Result made;
  for (const std::string* folder : {&data, &notes, &checklists, &packs, &outbox, &formats}) {
    KeepFirst(made, MakeFolderWhenMissing(*folder));
  }
  return made;
}

Result DataFolders::copyShippedFiles() const {
  Result copied = MakeFolderWhenMissing(control);
  std::vector<std::string> shipped;
  ListMatching(program, "*.~txt", kFiles, false, shipped);
  ListMatching(program, "*.vsn", kFiles, false, shipped);
  for (const std::string& name : shipped) {
    const std::string target = JoinPath(data, name);
    if (!fileSystem().exists(target)) KeepFirst(copied, ReplaceWithCopy(JoinPath(program, name), target));
  }
  return copied;
}

}  // namespace tarvo
