#pragma once

// Numbered backup copies of data files: notes.txt keeps notes(1).txt, notes(2).txt, ...
// beside it, numbered one past the highest existing copy, and the oldest are pruned.
// Date-stamped copies, notes(20260115-093000).txt, are purged by their own modification time.
//
// A copy appears only whole: it is written under a temporary name, flushed and renamed, so a
// full disk leaves no truncated copy behind, and old copies are pruned only after the new one
// is complete.
//
// Failure: backup trouble is reported, never hidden; the reason of a failed Result is the
// "***** " text. Callers that rewrite the file go on and log it.

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tarvo {

struct BackupEntry {
  std::string sortKey;  // the copy's number padded so that copies sort in numeric order
  std::string name;     // the copy's file name, without folder
};

// Sorted by sortKey: the oldest copy first.
using BackupList = std::vector<BackupEntry>;

enum class BackupAction {
  Copy,      // the file goes on being written in place (appended to)
  Move,
  Snapshot,  // the file is about to be replaced by a new one: a second name for the old bytes
             // costs nothing, whatever the size; a copy where the file system has no links
};

// The numbered copies of `path` in its folder, oldest first.
BackupList ListBackups(const std::string& path);

// Copies or moves `path` to the next free number after the highest copy in `existing`.
// The copy's path; empty when the file does not exist.
ResultOf<std::string> MakeBackup(const std::string& path, const BackupList& existing,
                                 BackupAction action);

// Deletes the oldest copies of `list` (in the folder of `path`) until at most `keep` remain.
// The names actually deleted are added to `deleted` when given.
void PruneBackups(const std::string& path, BackupList& list, int keep,
                  std::vector<std::string>* deleted = nullptr);

// Deletes the oldest date-stamped copies of `path` (those whose name holds their own
// modification time as "(yyyymmdd-hhnnss)") until at most `keep` remain.
void PurgeBackups(const std::string& path, int keep, std::vector<std::string>* deleted = nullptr);

// Takes one copy of `path` and keeps at most `keep` copies in all (the usual rewrite rule).
// The older copies are pruned only when the new one was made. Callers that replace the file
// afterwards (never write into it) may ask for a Snapshot.
Result TakeBackup(const std::string& path, int keep, BackupAction action = BackupAction::Copy);

// True when a file name has the shape of a numbered or date-stamped backup copy.
bool LooksLikeBackupName(std::string_view name);

}  // namespace tarvo
