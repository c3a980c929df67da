#pragma once

// Listing and clearing folders of the data folder. Masks use "*" (any run of characters) and
// "?" (any one character) and compare case-sensitively, as this platform's names do.
// Symbolic links are never followed into: a link is listed and deleted as a file.

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tarvo {

enum EntryKinds : unsigned { kFiles = 1, kFolders = 2, kAnyEntry = kFiles | kFolders };

bool MatchesMask(std::string_view name, std::string_view mask);

// Adds the names of the files matching "folder/mask"; a path ending in the delimiter means
// every file in that folder.
void ListFiles(const std::string& folderOrMask, std::vector<std::string>& names);
// Adds the names of the subfolders matching, skipping names that begin with ".".
void ListFolders(const std::string& folderOrMask, std::vector<std::string>& names);
// Adds the names in `folder` matching `mask` and `kinds` ("." and ".." never); with
// `skipBackups`, numbered and date-stamped backup copies are left out too. `names` ends up
// sorted. Returns the number of names added.
int ListMatching(const std::string& folder, std::string_view mask, unsigned kinds,
                 bool skipBackups, std::vector<std::string>& names);
// Deletes everything inside `folder`; the folder itself stays. A failure names the first
// entry that remains.
Result DeleteFolderTree(const std::string& folder);

}  // namespace tarvo
