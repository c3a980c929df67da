#include "sharing/delivery.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "sharing/exchange_names.h"
#include "store/file_system.h"
#include "store/folder_listing.h"

namespace tarvo {
namespace {

Result CopyComplete(const std::string& from, const std::string& to) {
  const std::string partial = to + kPartialSuffix;
  Result copied = fileSystem().copyFile(from, partial);
  if (copied) {
    ResultOf<FileHandle> written = fileSystem().open(partial, OpenIntent::Read);
    copied = written ? fileSystem().flush(*written) : written.status();
  }
  if (copied) copied = fileSystem().rename(partial, to);
  if (!copied) {
    (void)fileSystem().remove(partial);
    return copied;
  }
  return {};
}

}  // namespace

Result DeliverOutbox(const std::string& outbox, const std::string& sharedFolder, const std::string& recipient) {
  const std::string inbox = JoinPath(sharedFolder, InboxFolderName(recipient));
  if (!IsSafeEntryName(InboxFolderName(recipient)) ||
      (!fileSystem().isFolder(inbox) && !fileSystem().makeFolder(inbox).ok())) {
    return Result::Failure("*** Unable to create inbox for user: " + recipient);
  }
  std::vector<std::string> names;
  ListMatching(outbox, "*", kFiles, false, names);
  // Send files last: a receiver acts on a send file, and its pages must be there by then.
  std::stable_partition(names.begin(), names.end(), [](const std::string& name) { return !name.ends_with(".str"); });
  for (const std::string& name : names) {
    if (Result copied = CopyComplete(JoinPath(outbox, name), JoinPath(inbox, name)); !copied) return copied;
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

int RemoveStalePartials(const std::string& inbox, long long maxAgeSeconds) {
  std::vector<std::string> names;
  ListMatching(inbox, std::string("*") + kPartialSuffix, kFiles, false, names);
  const std::time_t now = std::time(nullptr);
  int removed = 0;
  for (const std::string& name : names) {
    const std::string path = JoinPath(inbox, name);
    const std::optional<FileStamp> stamp = fileSystem().stamp(path);
    if (stamp && now - stamp->modified > maxAgeSeconds && fileSystem().remove(path).ok()) ++removed;
  }
  return removed;
}

}  // namespace tarvo
