#include "sharing/delivery.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "sharing/exchange_names.h"
#include "store/file_system.h"
#include "store/folder_listing.h"

namespace tarvo {
namespace {

std::string PartialOf(const std::string& path, const std::string& sender) {
  return path + "." + LowerAscii(sender) + kPartialSuffix;
}

Result CopyComplete(const std::string& from, const std::string& to, const std::string& sender) {
  const std::string partial = PartialOf(to, sender);
  Result copied = fileSystem().copyFile(from, partial);
  if (copied) {
    ResultOf<FileHandle> written = fileSystem().open(partial, OpenIntent::Read);
    copied = written ? fileSystem().flush(*written) : written.status();
  }
  if (copied) copied = fileSystem().rename(partial, to);
  if (!copied) (void)fileSystem().remove(partial);
  return copied;
}

// "ann-20260305-090703.str", or "ann-20260305-090703-2.str" when that one still waits.
std::string FreeSendFileName(const std::string& inbox, const std::string& name) {
  const std::string stem = name.substr(0, name.size() - 4);
  std::string candidate = name;
  for (int number = 2; fileSystem().exists(JoinPath(inbox, candidate)); ++number) {
    candidate = stem + "-" + std::to_string(number) + ".str";
  }
  return candidate;
}

int RemoveMatching(const std::string& folder, const std::string& mask, long long olderThanSeconds) {
  std::vector<std::string> names;
  ListMatching(folder, mask, kFiles, false, names);
  const std::time_t now = std::time(nullptr);
  int removed = 0;
  for (const std::string& name : names) {
    const std::string path = JoinPath(folder, name);
    if (olderThanSeconds > 0) {
      const std::optional<FileStamp> stamp = fileSystem().stamp(path);
      if (!stamp || now - stamp->modified <= olderThanSeconds) continue;
    }
    if (fileSystem().remove(path)) ++removed;
  }
  return removed;
}

}  // namespace

Result DeliverOutbox(const std::string& outbox, const std::string& sharedFolder, const std::string& recipient,
                     const std::string& sender) {
  const std::string inbox = JoinPath(sharedFolder, InboxFolderName(recipient));
  // An inbox that is a link could send the copies to any folder the sender may write.
  if (!IsSafeEntryName(InboxFolderName(recipient)) || fileSystem().isLink(inbox) ||
      (!fileSystem().isFolder(inbox) && !fileSystem().makeFolder(inbox).ok())) {
    return Result::Failure("*** Unable to create inbox for user: " + recipient);
  }
  std::vector<std::string> names;
  ListMatching(outbox, "*", kFiles, false, names);
  // Send files last: a receiver acts on a send file, and its pages must be there by then.
  std::stable_partition(names.begin(), names.end(), [](const std::string& name) { return !name.ends_with(".str"); });
  for (const std::string& name : names) {
    const std::string target = name.ends_with(".str") ? FreeSendFileName(inbox, name) : name;
    if (Result copied = CopyComplete(JoinPath(outbox, name), JoinPath(inbox, target), sender); !copied) return copied;
  }
  return fileSystem().flushFolder(inbox);
}

Result ClearOutbox(const std::string& outbox) {
  std::vector<std::string> names;
  ListMatching(outbox, "*", kFiles, false, names);
  Result first;
  for (const std::string& name : names) {
    Result removed = fileSystem().remove(JoinPath(outbox, name));
    if (!removed && first.ok()) first = removed;
  }
  return first;
}

int RemoveOwnPartials(const std::string& sharedFolder, const std::string& recipient, const std::string& sender) {
  if (!IsSafeEntryName(InboxFolderName(recipient)) || !IsSafeEntryName(LowerAscii(sender))) return 0;
  const std::string inbox = JoinPath(sharedFolder, InboxFolderName(recipient));
  return RemoveMatching(inbox, "*." + LowerAscii(sender) + kPartialSuffix, 0);
}

int RemoveStalePartials(const std::string& inbox, long long maxAgeSeconds) {
  return RemoveMatching(inbox, std::string("*") + kPartialSuffix, maxAgeSeconds);
}

}  // namespace tarvo
