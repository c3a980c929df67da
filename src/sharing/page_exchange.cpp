#include "sharing/page_exchange.h"

#include "sharing/exchange_names.h"
#include "store/data_file.h"
#include "store/file_system.h"
#include "store/folder_listing.h"
#include "store/pair_file.h"
#include "store/pair_stream.h"

namespace tarvo {
namespace {

// A page file's name under its topic's exchange id: what followed the local id stays.
std::string RenamedForSending(const std::string& name, const std::string& localId, const std::string& exchangeId) {
  if (name.size() > localId.size() && name.starts_with(localId)) return exchangeId + name.substr(localId.size());
  return name;
}

// An own topic's name comes back as "ann-12-1.txt": the prefix is the part before the first
// "-", never one found further in ("joann-12" is Joann's topic, not Ann's).
std::string WithoutPrefix(std::string_view text, const std::string& prefix) {
  if (!prefix.empty() && text.starts_with(prefix)) text.remove_prefix(prefix.size());
  return std::string(text);
}

constexpr std::uint64_t kMaxPageFileBytes = 64ull << 20;

ResultOf<std::string> ReadPlainFile(const std::string& path, FileInode* inode) {
  if (const std::optional<FileStamp> stamp = fileSystem().stamp(path); stamp && stamp->size > kMaxPageFileBytes) {
    return Result::Failure("it holds " + std::to_string(stamp->size >> 20) + " MB, more than a page file may (" +
                           std::to_string(kMaxPageFileBytes >> 20) + " MB)");
  }
  return ReadWholeFile(path, OpenIntent::ReadPlainFile, inode);
}

// What a file of the folder is to hold here, and the file as read when it holds just that.
struct IncomingBytes {
  std::string bytes;
  std::optional<FileInode> movable;
};

// A pages file as it is to be stored here: its values lose the receiver's prefix, so its pages
// name the local files. Refused when a page names a file outside its folder.
ResultOf<std::string> LocalPagesBytes(const std::string& path, const std::string& prefix, FileInode* inode,
                                      bool& unchanged) {
  // Parsed from the bytes read through the one checked open: the name is not opened twice.
  ResultOf<std::string> bytes = ReadPlainFile(path, inode);
  if (!bytes) return bytes.status();
  PairList local;
  std::string unsafe;
  ForEachPairIn(*bytes, [&](std::string_view key, std::string_view value, std::size_t) {
    const std::string localValue = WithoutPrefix(value, prefix);
    if (key == "file" && !localValue.empty() && !IsSafeEntryName(localValue)) {
      unsafe = localValue;
      return false;
    }
    local.add(key, localValue);
    return true;
  });
  if (!unsafe.empty()) return Result::Failure("a page names the file \"" + unsafe + "\", outside its folder");
  std::string localBytes = PairFileBytes(local);
  unchanged = localBytes == *bytes;
  return localBytes;
}

ResultOf<IncomingBytes> ReadIncoming(const std::string& path, bool pagesFile, const std::string& prefix) {
  FileInode inode;
  bool unchanged = true;
  ResultOf<std::string> bytes = pagesFile ? LocalPagesBytes(path, prefix, &inode, unchanged) : ReadPlainFile(path, &inode);
  if (!bytes) return bytes.status();
  IncomingBytes incoming{std::move(*bytes), std::nullopt};
  if (unchanged && inode.ownedAlone) incoming.movable = inode;
  return incoming;
}

}  // namespace

std::string TopicIdOfPageFile(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  if (name.ends_with(".pkt")) return stem;
  const std::size_t dash = stem.rfind('-');
  return dash == std::string::npos ? stem : stem.substr(0, dash);
}

Result WriteSentPages(const PageFolders& folders, const TopicPages& pages, const std::string& localId,
                      const std::string& exchangeId, const std::string& outbox) {
  if (!fileSystem().exists(pages.path)) return {};
  TopicPages sent = pages;
  sent.path = JoinPath(outbox, exchangeId + ".pkt");
  for (TopicPage& page : sent.pages) {
    if (page.fileName.empty()) continue;
    const std::string original = page.fileName;
    if (page.kind() == PageKind::List) continue;
    page.fileName = RenamedForSending(original, localId, exchangeId);
    const std::string& home = page.kind() == PageKind::Notes ? folders.notes : folders.checklists;
    const std::string source = JoinPath(home, original);
    if (!fileSystem().exists(source)) continue;
    if (Result copied = fileSystem().copyFile(source, JoinPath(outbox, page.fileName)); !copied) return copied;
  }
  return SaveTopicPages(sent);
}

PageImportPlan PlanPageImport(const std::string& folder, const std::string& prefix, const PageFolders& folders,
                              const std::string& sender, const std::set<std::string>* onlyTopics) {
  PageImportPlan plan;
  const auto take = [&](std::string_view mask, const std::string& home, bool pagesFile) {
    std::vector<std::string> names;
    ListMatching(folder, mask, kFiles, false, names);
    for (const std::string& name : names) {
      if (onlyTopics != nullptr && !onlyTopics->contains(TopicIdOfPageFile(name))) continue;
      const std::string source = JoinPath(folder, name);
      const bool own = !prefix.empty() && name.starts_with(prefix);
      const std::string localName = own ? WithoutPrefix(name, prefix) : name;
      if (!IsSafeEntryName(name) || !IsSafeEntryName(localName) || localName.size() <= mask.size() - 1) {
        plan.refused.push_back("*** Refused the file \"" + name + "\" from " + sender + ": its name is not allowed");
        continue;
      }
      ResultOf<IncomingBytes> incoming = ReadIncoming(source, pagesFile, own ? prefix : "");
      if (!incoming) {
        plan.refused.push_back("*** Refused the file \"" + name + "\" from " + sender + ": " + incoming.reason());
        continue;
      }
      plan.files.push_back({source, JoinPath(home, localName), std::move(incoming->bytes), TopicIdOfPageFile(localName),
                            incoming->movable});
    }
  };
  take("*.pkt", folders.packs, true);
  take("*.txt", folders.notes, false);
  take("*.lst", folders.checklists, false);
  return plan;
}

}  // namespace tarvo
