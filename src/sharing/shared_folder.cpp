#include "sharing/shared_folder.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "base/date_text.h"
#include "sharing/exchange_names.h"
#include "store/data_file.h"
#include "store/file_system.h"
#include "store/folder_listing.h"
#include "store/pair_file.h"
#include "store/pair_list.h"

namespace tarvo {
namespace {

ConnectOutcome Failed(std::string_view status, std::string detail = {}) {
  return {false, std::string(status), std::move(detail)};
}

std::string PasswordFileOf(const std::string& resolvedFolder) {
  return JoinPath(resolvedFolder, kSharedPasswordFileName);
}

std::string UserFileOf(const std::string& resolvedFolder, std::string_view userName) {
  return JoinPath(resolvedFolder, std::string(userName) + std::string(kUserFileExtension));
}

// Makes "Tarvo.dat" only when no colleague made it meanwhile: the file is created exclusively,
// so two users creating the same connection at once can never overwrite each other's password.
Result CreatePasswordFile(const std::string& path, std::string_view password) {
  PairList pairs;
  pairs.add("pw", password);
  const std::string bytes = PairFileBytes(pairs, ScrambleKey(path));
  ResultOf<FileHandle> file = fileSystem().open(path, OpenIntent::CreateNew);
  if (!file) return file.status();
  Result written = fileSystem().write(*file, bytes.data(), bytes.size());
  if (written) written = fileSystem().flush(*file);
  if (!written) {
    file->close();
    (void)fileSystem().remove(path);  // half a password file would lock everybody out
  }
  return written;
}

ResultOf<std::string> ReadSharedPassword(const std::string& path) {
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs, /*secure=*/true); !loaded) return loaded;
  return std::string(pairs.valueOf("pw"));
}

// A user file counts only as a plain file: a link could make the user list (and later the
// inbox paths built from it) point anywhere.
bool IsPlainFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::symlink_status(path, error).type() ==
         std::filesystem::file_type::regular;
}

}  // namespace

bool CanConnect(const ConnectionEntries& entries, std::string_view repeatedPassword) {
  return !entries.folder.empty() && !entries.password.empty() && !entries.userName.empty() &&
         repeatedPassword == entries.password;
}

ResultOf<std::string> ResolveNetworkPath(const std::string& path) {
  if (path.empty()) return Result::Failure("no shared folder given");
  if (!fileSystem().isFolder(path)) return Result::Failure("cannot reach the folder " + path);
  if (path.back() == kPathDelimiter) return path;
  return path + kPathDelimiter;
}

ConnectOutcome ConnectSharedFolder(NetSettings& settings, const ConnectionEntries& entries,
                                   const AskCreateConnection& askCreate, const QDateTime& now,
                                   int dateOrder) {
  settings.folder = entries.folder;
  settings.password = entries.password;
  settings.userName = entries.userName;
  settings.backupData = entries.backupData;
  settings.connected = false;
  settings.inboxFolder.clear();  // it belonged to the folder of the last connection
  // The user name becomes a file name and an inbox name in the shared folder.
  if (!IsSafeEntryName(settings.userName + std::string(kUserFileExtension)) ||
      !IsSafeEntryName(InboxFolderName(settings.userName))) {
    return Failed(kStatusBadUserName, "\"" + settings.userName + "\" would leave the folder");
  }

  ResultOf<std::string> resolved = ResolveNetworkPath(settings.folder);
  if (!resolved) return Failed(kStatusNotAccessible, resolved.reason());
  settings.resolvedFolder = *resolved;
  if (!fileSystem().isFolder(settings.resolvedFolder)) {
    return Failed(kStatusNotFound, settings.resolvedFolder);
  }

  const std::string passwordFile = PasswordFileOf(settings.resolvedFolder);
  if (!fileSystem().exists(passwordFile)) {
    if (!askCreate || !askCreate()) return {};
    Result created = CreatePasswordFile(passwordFile, settings.password);
    // A colleague who created it a moment ago wins; their password is checked below.
    if (!created && !fileSystem().exists(passwordFile)) {
      return Failed(kStatusCannotCreate, created.reason());
    }
  }
  ResultOf<std::string> shared = ReadSharedPassword(passwordFile);
  if (!shared) return Failed(kStatusNotAccessible, shared.reason());
  if (settings.password.empty() || settings.password != *shared) {
    return Failed(kStatusPasswordIncorrect);
  }

  Result appended = AppendLine(UserFileOf(settings.resolvedFolder, settings.userName),
                               DateTimeText(now, dateOrder));
  if (!appended) return Failed(kStatusAccessNotAllowed, appended.reason());
  settings.connected = true;
  settings.autoConnect = true;
  settings.changed = true;
  Result listed = RefreshSharedUsers(settings);
  return {true, std::string(kStatusConnected), listed.reason()};
}

void DisconnectSharedFolder(NetSettings& settings) {
  settings.connected = false;
  settings.autoConnect = false;
  settings.changed = true;
  settings.users.clear();
}

void LoseSharedFolder(NetSettings& settings) { settings.connected = false; }

bool SharedFolderReachable(const std::string& resolvedFolder) {
  return !resolvedFolder.empty() && fileSystem().isFolder(resolvedFolder) &&
         fileSystem().exists(PasswordFileOf(resolvedFolder));
}

ResultOf<std::vector<std::string>> ListSharedUsers(const std::string& resolvedFolder) {
  const auto unreachable = [&resolvedFolder] {
    return Result::Failure("cannot reach the shared folder " + resolvedFolder);
  };
  if (!SharedFolderReachable(resolvedFolder)) return unreachable();
  std::vector<std::string> fileNames;
  ListMatching(resolvedFolder, "*.usr", kFiles, /*skipBackups=*/false, fileNames);
  // An empty listing from a folder that went away meanwhile is not an empty folder.
  if (fileNames.empty() && !SharedFolderReachable(resolvedFolder)) return unreachable();

  std::vector<std::string> users;
  for (const std::string& fileName : fileNames) {
    const std::string userName = fileName.substr(0, fileName.size() - kUserFileExtension.size());
    if (!IsSafeEntryName(fileName) || !IsSafeEntryName(userName)) continue;
    if (!IsPlainFile(JoinPath(resolvedFolder, fileName))) continue;
    users.push_back(userName);
  }
  return users;
}

Result RefreshSharedUsers(NetSettings& settings) {
  ResultOf<std::vector<std::string>> users = ListSharedUsers(settings.resolvedFolder);
  if (!users) return users.status();
  settings.users = std::move(*users);
  return {};
}

}  // namespace tarvo
