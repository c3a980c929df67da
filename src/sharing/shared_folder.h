#pragma once

// Connecting to the shared folder colleagues exchange topics through (the "LAN Tarvo"), the
// check of its common password, and the list of the users who ever connected to it.
//
// The folder holds "Tarvo.dat" (a secure pair file with the one pair "pw"), one "<user>.usr"
// file per user with a line per successful connection, and the users' inbox folders. Every
// name read from it is untrusted: a user file whose name could leave the folder, or that is
// not a plain file (a planted link), is ignored.
//
// A shared folder can go away while connected (a server down, a share unmounted). An
// unreachable folder is reported as such and never mistaken for an empty one, so the users
// known so far are kept until the folder can be read again.
//
// All functions run on the caller's thread and touch only the shared folder named.

#include <QDateTime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "sharing/net_settings.h"

namespace tarvo {

inline constexpr std::string_view kSharedPasswordFileName = "Tarvo.dat";
inline constexpr std::string_view kUserFileExtension = ".usr";

// The status texts of the connection, shown to the user as they stand.
inline constexpr std::string_view kStatusConnected = "Connected OK";
inline constexpr std::string_view kStatusNotConnected = "Not connected";
inline constexpr std::string_view kStatusNotAccessible = "*** LAN Tarvo not accessible";
inline constexpr std::string_view kStatusNotFound = "*** LAN Tarvo not found";
inline constexpr std::string_view kStatusPasswordIncorrect = "*** LAN Tarvo password incorrect";
inline constexpr std::string_view kStatusCannotCreate = "*** Unable to create LAN Tarvo";
inline constexpr std::string_view kStatusAccessNotAllowed = "*** LAN Tarvo access not allowed";
inline constexpr std::string_view kStatusBadUserName =
    "*** This user name cannot be used in a LAN Tarvo";
inline constexpr std::string_view kCreateQuestion =
    "This LAN Tarvo connection does not exist yet.\nDo you wish to create it now?";

// What the user typed in the network panel.
struct ConnectionEntries {
  std::string folder;
  std::string password;
  std::string userName;
  bool backupData = false;
};

// True when a connection can be tried with these entries: folder, password and user name
// given, and the password typed the same twice.
[[nodiscard]] bool CanConnect(const ConnectionEntries& entries, std::string_view repeatedPassword);

// The folder as this platform reaches it, ending in "/". There are no mapped drives here: the
// folder itself, when it exists as a folder; a failure naming it otherwise.
[[nodiscard]] ResultOf<std::string> ResolveNetworkPath(const std::string& path);

// Asked when the folder has no "Tarvo.dat" yet: true creates the connection with the typed
// password.
using AskCreateConnection = std::function<bool()>;

struct ConnectOutcome {
  bool connected = false;
  // The status to show; empty when the user declined to create the connection and the status
  // shown stays as it is.
  std::string status;
  // The system's words behind a failure, for whoever wants more than the status.
  std::string detail;
};

// Takes the entries into `settings` and connects: resolves the folder, checks or creates
// "Tarvo.dat", appends a line with `now` (in the date order's date-time text) to the user's
// ".usr" file. On success `settings` is connected, autoConnect and changed are set and the
// users are read; on failure it is not connected and the users stay as they were.
ConnectOutcome ConnectSharedFolder(NetSettings& settings, const ConnectionEntries& entries,
                                   const AskCreateConnection& askCreate, const QDateTime& now,
                                   int dateOrder);

// Leaves the connection on the user's word: not connected, no reconnect at start-up, the user
// list emptied, the settings to be saved.
void DisconnectSharedFolder(NetSettings& settings);
// Leaves the connection because the folder went away: not connected, but the users and the
// reconnect at start-up are kept (the user did not ask to leave).
void LoseSharedFolder(NetSettings& settings);

// True when the connected folder can be read and still holds "Tarvo.dat". An unmounted share
// leaves an empty mount point behind, so the folder merely existing is not enough.
[[nodiscard]] bool SharedFolderReachable(const std::string& resolvedFolder);

// The user names of the ".usr" files in the folder, sorted; a failure when the folder is not
// reachable (never an empty list in its place).
[[nodiscard]] ResultOf<std::vector<std::string>> ListSharedUsers(const std::string& resolvedFolder);

// Reads the users into `settings`; when the folder is unreachable they stay as they were and
// the failure comes back.
[[nodiscard]] Result RefreshSharedUsers(NetSettings& settings);

}  // namespace tarvo
