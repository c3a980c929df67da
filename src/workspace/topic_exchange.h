#pragma once

// Sending topics to colleagues, receiving what they sent, and merging add-on packs: the steps
// the window's commands and timers run, with every line they write to the main log.
//
// Nothing received is ever half-merged or lost: a send file is merged only when it read whole,
// the structure is saved before the send file is deleted (so a program stopped in between
// merges it again, matching every topic, instead of losing it), and a send file that cannot be
// used is renamed aside in the inbox with the reason in the log.
// Threading: user-interface thread only.

#include <QDateTime>
#include <string>
#include <vector>

#include "workspace/data_folders.h"
#include "workspace/main_log.h"
#include "workspace/workspace.h"

namespace tarvo {

enum class ExchangeSound : int { None = -1, Received = 0, Sent = 1, Failed = 2 };

// The sound file of each exchange sound, in the program's sounds folder.
const char* ExchangeSoundFile(ExchangeSound sound);

inline constexpr const char* kDamagedSuffix = ".damaged";
inline constexpr long long kStalePartialSeconds = 3600;

struct ExchangeIdentity {
  std::string sharedFolder;  // resolved
  std::string userName;      // as typed
};

struct ReceiveOutcome {
  bool folderGone = false;     // the shared folder cannot be reached: the connection is down
  int sendFiles = 0;           // send files found in the inbox
  ExchangeSound sound = ExchangeSound::None;
};

class TopicExchange {
 public:
  TopicExchange(Workspace& workspace, MainLog& log, const DataFolders& folders)
      : workspace_(workspace), log_(log), folders_(folders) {}

  // Sends a copy of `topic` with its subtree and pages to `users[tag]`, or with tag -1 to every
  // user but `self.userName`, in order; the first failed delivery stops the rest.
  ExchangeSound send(TopicNode* topic, const std::vector<std::string>& users, int tag, bool lock,
                     const ExchangeIdentity& self, const QDateTime& now = QDateTime::currentDateTime());

  // Whether the user's inbox holds a send file: the cheap look of every inbox tick, so that the
  // open page is saved only when something is to be merged.
  [[nodiscard]] bool hasSendFiles(const ExchangeIdentity& self) const;
  // Merges every send file of the user's inbox, then brings in the page files left there.
  ReceiveOutcome receive(const ExchangeIdentity& self, const QDateTime& now = QDateTime::currentDateTime());

  // Merges every add-on pack folder ("addon-*") of `programFolder` not yet installed in this
  // version, recorded in Addons.dat of the data folder.
  struct AddonPass {
    bool foundPacks = false;  // any "addon-*" folder; without one the timer keeps its interval
    ExchangeSound sound = ExchangeSound::None;
  };
  AddonPass mergeAddonPacks(const std::string& programFolder, const QDateTime& now = QDateTime::currentDateTime());

 private:
  Result writeOutbox(TopicNode* topic, bool lock, const ExchangeIdentity& self, const QDateTime& now);
  Result deliver(const std::vector<std::string>& users, int tag, const ExchangeIdentity& self);
  // Merges one send file of the inbox; false when it was not merged (it is then set aside).
  bool receiveFile(const std::string& inbox, const std::string& name, const ExchangeIdentity& self,
                   const QDateTime& now);
  void setAside(const std::string& path, const std::string& why);
  bool mergeAddonPack(const std::string& folder, const std::string& packName, const QDateTime& now);

  Workspace& workspace_;
  MainLog& log_;
  const DataFolders& folders_;
};

}  // namespace tarvo
