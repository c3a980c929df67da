#include "store/folder_listing.h"

#include <algorithm>

#include "store/backups.h"
#include "store/file_system.h"

namespace tarvo {
namespace {

struct FolderAndMask {
  std::string folder;
  std::string mask;
};

FolderAndMask SplitMask(const std::string& folderOrMask) {
  if (!folderOrMask.empty() && folderOrMask.back() == kPathDelimiter) {
    return {folderOrMask, "*"};
  }
  if (fileSystem().isFolder(folderOrMask)) return {folderOrMask, "*"};
  return {FolderOf(folderOrMask), NameOf(folderOrMask)};
}

void AddMatching(const std::string& folderOrMask, bool wantFolders,
                 std::vector<std::string>& names) {
  const FolderAndMask where = SplitMask(folderOrMask);
  for (const FolderEntry& entry : fileSystem().list(where.folder)) {
    if (entry.isFolder != wantFolders || !MatchesMask(entry.name, where.mask)) continue;
    if (wantFolders && entry.name.starts_with('.')) continue;
    names.push_back(entry.name);
  }
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  // Greedy matching with one backtrack point: linear for the masks the program uses.
  std::size_t n = 0, m = 0;
  std::size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

void ListFiles(const std::string& folderOrMask, std::vector<std::string>& names) {
  AddMatching(folderOrMask, false, names);
}

void ListFolders(const std::string& folderOrMask, std::vector<std::string>& names) {
  AddMatching(folderOrMask, true, names);
}

int ListMatching(const std::string& folder, std::string_view mask, unsigned kinds,
                 bool skipBackups, std::vector<std::string>& names) {
  int added = 0;
  for (const FolderEntry& entry : fileSystem().list(folder)) {
    if ((kinds & (entry.isFolder ? kFolders : kFiles)) == 0) continue;
    if (!MatchesMask(entry.name, mask)) continue;
    if (skipBackups && LooksLikeBackupName(entry.name)) continue;
    names.push_back(entry.name);
    ++added;
  }
  std::sort(names.begin(), names.end());
  return added;
}

Result DeleteFolderTree(const std::string& folder) {
  FileSystem& files = fileSystem();
  Result cleared;
  for (const FolderEntry& entry : files.list(folder)) {
    const std::string path = JoinPath(folder, entry.name);
    Result removed = entry.isFolder ? DeleteFolderTree(path) : files.remove(path);
    if (removed && entry.isFolder) removed = files.removeFolder(path);
    if (!removed && cleared) cleared = removed;  // the first failure is the one reported
  }
  return cleared;
}

}  // namespace tarvo
