#include "store/backups.h"

#include <algorithm>
#include <cstdint>

#include "store/file_system.h"
#include "store/safe_replace.h"
#include "base/date_text.h"

namespace tarvo {
namespace {

constexpr std::string_view kPadding = "9990000000";
constexpr std::size_t kSortKeyDigits = 10;

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct NameParts {
  std::string base;       // name without its extension
  std::string extension;  // with its dot; empty when the name has none
};

NameParts SplitExtension(std::string_view name) {
  const auto dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) return {std::string(name), {}};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot))};
}

// The text between "base(" and ")extension" of a copy's name, or nothing when the name is not
// of that shape.
std::string_view Bracketed(std::string_view name, const NameParts& parts) {
  const std::size_t fixed = parts.base.size() + parts.extension.size() + 2;
  if (name.size() <= fixed) return {};
  if (!name.starts_with(parts.base) || !name.ends_with(parts.extension)) return {};
  if (name[parts.base.size()] != '(' || name[name.size() - parts.extension.size() - 1] != ')') {
    return {};
  }
  return name.substr(parts.base.size() + 1, name.size() - fixed);
}

// Pads a number shorter than ten digits with the head of "9990000000", so that every padded
// number sorts after the rare numbers of ten digits or more and padded ones sort numerically.
std::string SortKeyOf(std::string_view number) {
  if (number.size() >= kSortKeyDigits) return std::string(number);
  return std::string(kPadding.substr(0, kSortKeyDigits - number.size())) + std::string(number);
}

std::uint64_t HighestNumber(const BackupList& list) {
  if (list.empty()) return 0;
  const std::string& key = list.back().sortKey;
  if (!key.starts_with("999") || key.size() < 10) return 0;
  std::uint64_t value = 0;
  for (char c : key.substr(3, 7)) value = value * 10 + static_cast<std::uint64_t>(c - '0');
  return value;
}

std::string CopyName(const NameParts& parts, std::uint64_t number) {
  return parts.base + "(" + std::to_string(number) + ")" + parts.extension;
}

void DeleteCopy(const std::string& folder, const std::string& name,
                std::vector<std::string>* deleted) {
  const std::string path = JoinPath(folder, name);
  FileSystem& files = fileSystem();
  // A copy that cannot be deleted stays; the next rewrite tries again, and nothing is lost.
  if (files.isReadOnly(path)) (void)files.makeWritable(path);
  (void)files.remove(path);
  if (deleted != nullptr && !files.exists(path)) deleted->push_back(name);
}

}  // namespace

BackupList ListBackups(const std::string& path) {
  const NameParts parts = SplitExtension(NameOf(path));
  BackupList list;
  for (const FolderEntry& entry : fileSystem().list(FolderOf(path))) {
    if (entry.isFolder) continue;
    const std::string_view number = Bracketed(entry.name, parts);
    if (!AllDigits(number)) continue;
    list.push_back({SortKeyOf(number), entry.name});
  }
  std::sort(list.begin(), list.end(), [](const BackupEntry& a, const BackupEntry& b) {
    return a.sortKey < b.sortKey;
  });
  return list;
}

ResultOf<std::string> MakeBackup(const std::string& path, const BackupList& existing,
                                 BackupAction action) {
  FileSystem& files = fileSystem();
  if (!files.exists(path)) return std::string();
  const std::string folder = FolderOf(path);
  const NameParts parts = SplitExtension(NameOf(path));
  std::uint64_t number = HighestNumber(existing) + 1;
  std::string target = JoinPath(folder, CopyName(parts, number));
  while (files.exists(target)) target = JoinPath(folder, CopyName(parts, ++number));

  // A copy goes through a flushed sibling and a rename, and a link appears at once: either
  // way a backup is there only whole.
  Result done;
  if (action == BackupAction::Move) {
    done = files.rename(path, target);
  } else if (action != BackupAction::Snapshot || !files.link(path, target)) {
    done = ReplaceWithCopy(path, target);
  }
  if (!done) {
    return Result::Failure(std::string(action == BackupAction::Move
                                           ? "***** Backup - access not allowed to rename file "
                                           : "***** Backup - access not allowed to copy file ") +
                           path + " (" + done.reason() + ")");
  }
  if (!files.exists(target)) return Result::Failure("***** Unable to back up file " + path);
  return target;
}

void PruneBackups(const std::string& path, BackupList& list, int keep,
                  std::vector<std::string>* deleted) {
  const std::string folder = FolderOf(path);
  const std::size_t limit = static_cast<std::size_t>(std::max(keep, 0));
  while (list.size() > limit) {
    DeleteCopy(folder, list.front().name, deleted);
    list.erase(list.begin());
  }
}

void PurgeBackups(const std::string& path, int keep, std::vector<std::string>* deleted) {
  FileSystem& files = fileSystem();
  const std::string folder = FolderOf(path);
  const NameParts parts = SplitExtension(NameOf(path));
  std::vector<std::string> stamped;
  for (const FolderEntry& entry : files.list(folder)) {
    if (entry.isFolder || Bracketed(entry.name, parts).empty()) continue;
    const std::optional<FileStamp> modified = files.stamp(JoinPath(folder, entry.name));
    if (!modified) continue;
    const std::string stamp = "(" + StampText(DateTimeFromTime(modified->modified)) + ")";
    if (entry.name.find(stamp) != std::string::npos) stamped.push_back(entry.name);
  }
  std::sort(stamped.begin(), stamped.end());
  const std::size_t limit = static_cast<std::size_t>(std::max(keep, 0));
  for (std::size_t i = 0; i + limit < stamped.size(); ++i) DeleteCopy(folder, stamped[i], deleted);
}

Result TakeBackup(const std::string& path, int keep, BackupAction action) {
  if (keep < 1 || !fileSystem().exists(path)) return {};
  BackupList list = ListBackups(path);
  ResultOf<std::string> made = MakeBackup(path, list, action);
  if (!made) return made.status();
  PruneBackups(path, list, keep - 1);
  return {};
}

bool LooksLikeBackupName(std::string_view name) {
  const auto open = name.find('(');
  if (open == std::string_view::npos) return false;
  const auto close = name.find(')', open + 1);
  if (close == std::string_view::npos) return false;
  const std::string_view inside = name.substr(open + 1, close - open - 1);
  // A date-time stamp: yymmdd-hhnnss, or yyyymmdd-hhnnss as the store writes it.
  if ((inside.size() == 13 && inside[6] == '-') || (inside.size() == 15 && inside[8] == '-')) {
    return true;
  }
  if (!AllDigits(inside)) return false;
  return inside.find_first_not_of('0') != std::string_view::npos;  // an integer of at least 1
}

}  // namespace tarvo
