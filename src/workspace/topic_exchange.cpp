#include "workspace/topic_exchange.h"

#include <set>

#include "base/date_text.h"
#include "sharing/addon_pack.h"
#include "sharing/delivery.h"
#include "sharing/exchange_names.h"
#include "sharing/page_exchange.h"
#include "sharing/send_file.h"
#include "store/file_system.h"
#include "store/folder_listing.h"

namespace tarvo {
namespace {

constexpr const char* kAddonList = "Addons.dat";

std::string SenderOf(const std::string& sendFileName) {
  const std::size_t dash = sendFileName.find('-');
  return dash == std::string::npos ? sendFileName : sendFileName.substr(0, dash);
}

}  // namespace

const char* ExchangeSoundFile(ExchangeSound sound) {
  switch (sound) {
    case ExchangeSound::Received: return "claves.wav";
    case ExchangeSound::Sent: return "cork_pop.wav";
    case ExchangeSound::Failed: return "metal_clang.wav";
    case ExchangeSound::None: break;
  }
  return "";
}

// ---- Sending

ExchangeSound TopicExchange::send(TopicNode* topic, const std::vector<std::string>& users, int tag, bool lock,
                                  const ExchangeIdentity& self, const QDateTime& now) {
  if (topic == nullptr || topic->record == nullptr) return ExchangeSound::None;
  if (tag >= static_cast<int>(users.size()) || tag < -1) return ExchangeSound::None;
  const std::string recipient = tag == -1 ? "all colleagues" : users[static_cast<std::size_t>(tag)];
  log_.LogMessage("Sending topic " + topic->record->text.str() + " to " + recipient);

  Result sent = writeOutbox(topic, lock, self, now);
  if (sent) sent = deliver(users, tag, self);
  if (!sent) log_.LogError("*** A problem occurred while copying items to another user: ", sent.reason());
  if (Result cleared = ClearOutbox(folders_.outbox); !cleared) log_.LogError("*** The outbox could not be emptied", cleared.reason());
  log_.LogMessage(sent ? "Activity complete" : "Activity unsuccessful");
  return sent ? ExchangeSound::Sent : ExchangeSound::Failed;
}

Result TopicExchange::writeOutbox(TopicNode* topic, bool lock, const ExchangeIdentity& self, const QDateTime& now) {
  // A send that stopped half-way (the program was ended) may have left files behind.
  if (Result cleared = ClearOutbox(folders_.outbox); !cleared) return cleared;
  const SendOptions options{self.userName, StampText(now), ShortStampText(now), lock};
  ResultOf<RecordList> records = SendRecordsOf(*topic, options);
  if (!records) return records.status();

  Result written;
  TopicTree::VisitSubtree(*topic, 0, [&](TopicNode& node, int) {
    if (!written || node.record == nullptr) return;
    const TopicRecord& record = *node.record;
    const std::string localId = record.uni.str();
    if (!fileSystem().exists(JoinPath(folders_.packs, localId + ".pkt"))) return;
    ResultOf<TopicPages*> pages = workspace_.pagesOf(record);
    if (!pages) {
      written = pages.status();
      return;
    }
    written = WriteSentPages(workspace_.pageFolders(), **pages, localId, ExchangeId(localId, self.userName),
                             folders_.outbox);
  });
  if (!written) return written;
  return WriteSendFile(JoinPath(folders_.outbox, SendFileName(self.userName, options.shortStamp)), *records);
}

Result TopicExchange::deliver(const std::vector<std::string>& users, int tag, const ExchangeIdentity& self) {
  const auto deliverTo = [&](const std::string& user) {
    RemoveOwnPartials(self.sharedFolder, user, self.userName);  // left by a send that was cut off
    return DeliverOutbox(folders_.outbox, self.sharedFolder, user, self.userName);
  };
  if (tag >= 0) return deliverTo(users[static_cast<std::size_t>(tag)]);
  for (const std::string& user : users) {
    if (user == self.userName) continue;
    log_.LogMessage("Sending to " + user);
    if (Result delivered = deliverTo(user); !delivered) return delivered;
  }
  return {};
}

// ---- Receiving

bool TopicExchange::hasSendFiles(const ExchangeIdentity& self) const {
  std::vector<std::string> sendFiles;
  ListMatching(JoinPath(self.sharedFolder, InboxFolderName(self.userName)), "*.str", kFiles, false, sendFiles);
  return !sendFiles.empty();
}

ReceiveOutcome TopicExchange::receive(const ExchangeIdentity& self, const QDateTime& now) {
  ReceiveOutcome outcome;
  if (!fileSystem().isFolder(self.sharedFolder)) {
    outcome.folderGone = true;
    return outcome;
  }
  const std::string inbox = JoinPath(self.sharedFolder, InboxFolderName(self.userName));
  if (!fileSystem().isFolder(inbox) || !workspace_.structureReadable()) return outcome;
  RemoveStalePartials(inbox, kStalePartialSeconds);

  std::vector<std::string> sendFiles;
  ListMatching(inbox, "*.str", kFiles, false, sendFiles);
  if (sendFiles.empty()) return outcome;
  if (Result saved = workspace_.saveStructureIfChanged(); !saved) {
    log_.LogError("*** The topics could not be saved, so nothing was received", saved.reason());
    return outcome;
  }
  outcome.sendFiles = static_cast<int>(sendFiles.size());
  std::vector<std::string> merged;
  for (const std::string& name : sendFiles) {
    if (receiveFile(inbox, name, self, now)) merged.push_back(JoinPath(inbox, name));
  }
  if (merged.empty()) return outcome;  // nothing usable came: no "Activity complete", no sound
  // The send files go only once what they brought is saved: a program ended before that merges
  // them again at its next start, and then every topic matches instead of being lost or doubled.
  if (Result saved = workspace_.saveStructureIfChanged(); !saved) {
    log_.LogError("*** The received topics could not be saved; their send files stay in the inbox", saved.reason());
  } else {
    for (const std::string& path : merged) {
      if (Result removed = fileSystem().remove(path); !removed) log_.LogError("*** " + NameOf(path) + " could not be deleted", removed.reason());
    }
  }

  // Page files that came without a send file of this pass (one that was set aside, or an
  // earlier pass that stopped) are brought in as well.
  PageImportPlan rest = PlanPageImport(inbox, ExchangePrefix(self.userName), workspace_.pageFolders(), "the inbox");
  for (const std::string& refused : rest.refused) log_.LogMessage(refused);
  if (!rest.files.empty()) {
    for (const std::string& failure : workspace_.importPages(std::move(rest), "Bring in received pages")) {
      log_.LogMessage(failure);
    }
  }
  log_.LogMessage("Activity complete");
  outcome.sound = ExchangeSound::Received;
  return outcome;
}

bool TopicExchange::receiveFile(const std::string& inbox, const std::string& name, const ExchangeIdentity& self,
                                const QDateTime& now) {
  const std::string path = JoinPath(inbox, name);
  ResultOf<ReceivedFile> received = ReadSendFile(path, folders_.data);
  if (!received) {
    setAside(path, received.reason());
    return false;
  }
  std::set<std::string> topics;
  for (const auto& record : received->records) topics.insert(record->uni.str());
  const std::string header = received->header->text.str();
  ResultOf<MergePlan> plan = PlanReceive(workspace_.master(), workspace_.tree(), std::move(*received), self.userName,
                                         [this] { return workspace_.freshId(); });
  if (!plan) {
    setAside(path, plan.reason());
    return false;
  }
  for (const std::string& line : plan->log) log_.LogMessage(line);
  PageImportPlan pages =
      PlanPageImport(inbox, ExchangePrefix(self.userName), workspace_.pageFolders(), SenderOf(name), &topics);
  for (const std::string& refused : pages.refused) log_.LogMessage(refused);
  const std::vector<std::string> failures =
      workspace_.merge(std::move(*plan), std::move(pages), QString::fromStdString("Receive " + header), now);
  for (const std::string& failure : failures) log_.LogMessage(failure);
  return true;
}

void TopicExchange::setAside(const std::string& path, const std::string& why) {
  const std::string aside = path + kDamagedSuffix;
  const Result renamed = fileSystem().rename(path, aside);
  log_.LogError("*** Received file " + NameOf(path) + " from " + SenderOf(NameOf(path)) + " was not used",
                why + (renamed ? "; it was kept as " + NameOf(aside) : "; it could not be moved aside: " + renamed.reason()));
}

// ---- Add-on packs

TopicExchange::AddonPass TopicExchange::mergeAddonPacks(const std::string& programFolder, const QDateTime& now) {
  AddonPass pass;
  std::vector<std::string> packs;
  ListMatching(programFolder, "addon-*", kFolders, false, packs);
  if (packs.empty()) return pass;
  pass.foundPacks = true;
  if (Result saved = workspace_.saveStructureIfChanged(); !saved || !workspace_.structureReadable()) {
    log_.LogError("*** Add-on packs were not merged: the topics could not be saved", saved ? "the structure could not be read" : saved.reason());
    return pass;
  }
  const std::string listPath = JoinPath(folders_.data, kAddonList);
  ResultOf<AddonList> list = LoadAddonList(listPath);
  if (!list) {
    log_.LogError("*** " + listPath + " cannot be read; add-on packs were not merged", list.reason());
    return pass;
  }
  for (const std::string& name : packs) {
    const std::vector<std::string> fields = PackNameFields(name);
    if (fields.size() < 2) continue;
    const std::string version = fields.size() >= 3 ? fields[2] : std::string();
    AddonEntry* known = list->find(fields[1]);
    if (known != nullptr && (fields.size() < 3 || version == known->version)) continue;
    const std::string folder = JoinPath(programFolder, name);
    if (!mergeAddonPack(folder, fields[1], now)) continue;
    if (known == nullptr) {
      list->entries.push_back({fields[1], "install", DateStamp(now), version, ""});
    } else {
      known->version = version;
    }
    list->changed = true;
    if (Result cleared = DeleteFolderTree(folder); !cleared) log_.LogError("*** The pack folder " + folder + " could not be emptied", cleared.reason());
    (void)fileSystem().removeFolder(folder);
    log_.LogMessage("Activity complete");
    pass.sound = ExchangeSound::Received;
  }
  if (list->changed) {
    if (Result saved = SaveAddonList(listPath, *list); !saved) log_.LogError("*** " + listPath + " could not be written", saved.reason());
  }
  return pass;
}

bool TopicExchange::mergeAddonPack(const std::string& folder, const std::string& packName, const QDateTime& now) {
  if (!fileSystem().exists(JoinPath(folder, "structure.dat"))) return false;  // not delivered whole yet
  ResultOf<RecordList> records = ReadPackStructure(folder);
  if (!records) {
    log_.LogError("*** The add-on pack " + NameOf(folder) + " was not merged", records.reason());
    return false;
  }
  ResultOf<MergePlan> planned = PlanPackMerge(workspace_.master(), workspace_.tree(), std::move(*records));
  if (!planned) {
    log_.LogError("*** The add-on pack " + NameOf(folder) + " was not merged", planned.reason());
    return false;
  }
  MergePlan& plan = *planned;
  for (const std::string& line : plan.log) log_.LogMessage(line);
  PageImportPlan pages = PlanPageImport(folder, "", workspace_.pageFolders(), "the add-on pack " + packName);
  for (const std::string& refused : pages.refused) log_.LogMessage(refused);
  for (const std::string& failure :
       workspace_.merge(std::move(plan), std::move(pages), QString::fromStdString("Merge add-on pack " + packName), now)) {
    log_.LogMessage(failure);
  }
  // The pack folder goes, and the pack counts as installed, only once the merge is saved.
  if (Result saved = workspace_.saveStructureIfChanged(); !saved) {
    log_.LogError("*** The merged pack could not be saved; its folder is kept for the next try", saved.reason());
    return false;
  }
  return true;
}

}  // namespace tarvo
