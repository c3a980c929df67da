#pragma once

// The shared-folder connection settings: what the user typed in the network panel, whether
// the connection is to be made again at start-up, and the state of the connection for the run.
//
// "net.txt" in the data folder keeps the stored fields as a secure pair file in a fixed key
// order; the runtime fields are never written. A net.txt that exists but cannot be read marks
// the settings unreadable, and unreadable settings are never saved over the file: the user's
// folder and password stay recoverable from it.

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tarvo {

inline constexpr std::string_view kNetSettingsFileName = "net.txt";
inline constexpr int kNetSettingsBackups = 5;

struct NetSettings {
  // Stored in net.txt.
  std::string folder;        // "net": the shared folder as the user typed it
  std::string password;      // "pw": the folder's common password
  std::string userName;      // "user": this user's name in the shared folder
  bool backupData = false;   // "backup": kept and written back, nothing depends on it
  std::string dataPassword;  // "datapw": kept and written back, nothing depends on it
  bool autoConnect = false;  // "mem": connect again at start-up

  // For the run only.
  std::vector<std::string> users;  // the names of the ".usr" files in the shared folder
  bool changed = false;            // net.txt must be written
  bool connected = false;
  std::string resolvedFolder;      // the folder after ResolveNetworkPath, ending in "/"
  std::string inboxFolder;         // this user's inbox, set by whoever makes it first
  bool readable = true;            // false: net.txt exists but could not be read
};

// Reads the stored fields (the others are left as they are). A missing file gives the
// defaults and succeeds; a file that exists but cannot be read gives the defaults, clears
// `readable` and fails with the reason.
[[nodiscard]] Result LoadNetSettings(const std::string& path, NetSettings& settings);

// Writes the stored fields in the order "net", "pw", "user", ["backup"], "datapw", ["mem"]
// (the bracketed keys only when set, as "Y"), keeping 5 numbered backups of the old file.
// Refuses, leaving the file as it is, when the settings were not readable or a value holds a
// line break (it would split into a second pair on reading).
[[nodiscard]] Result SaveNetSettings(const std::string& path, const NetSettings& settings);

// Saves when `changed` is set and clears it on success; the periodic save calls this.
[[nodiscard]] Result SaveNetSettingsIfChanged(const std::string& path, NetSettings& settings);

// The name the user is known by on this machine: $USERNAME, or $USER where that is not set.
std::string DefaultUserName();
// At start-up an empty user name becomes DefaultUserName().
void FillDefaultUserName(NetSettings& settings);

}  // namespace tarvo
