#include "sharing/net_settings.h"

#include <cstdlib>

#include "store/file_system.h"
#include "store/pair_file.h"
#include "store/pair_list.h"

namespace tarvo {
namespace {

constexpr std::string_view kFlagSet = "Y";

void ResetStoredFields(NetSettings& settings) {
  const NetSettings defaults;
  settings.folder = defaults.folder;
  settings.password = defaults.password;
  settings.userName = defaults.userName;
  settings.backupData = defaults.backupData;
  settings.dataPassword = defaults.dataPassword;
  settings.autoConnect = defaults.autoConnect;
}

bool HoldsLineBreak(std::string_view value) {
  return value.find_first_of("\r\n") != std::string_view::npos;
}

PairList StoredPairs(const NetSettings& settings) {
  PairList pairs;
  pairs.add("net", settings.folder);
  pairs.add("pw", settings.password);
  pairs.add("user", settings.userName);
  if (settings.backupData) pairs.add("backup", kFlagSet);
  pairs.add("datapw", settings.dataPassword);
  if (settings.autoConnect) pairs.add("mem", kFlagSet);
  return pairs;
}

}  // namespace

Result LoadNetSettings(const std::string& path, NetSettings& settings) {
  ResetStoredFields(settings);
  settings.readable = true;
  if (!fileSystem().exists(path)) return {};
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs, /*secure=*/true); !loaded) {
    settings.readable = false;
    return loaded;
  }
  settings.folder = pairs.valueOf("net");
  settings.password = pairs.valueOf("pw");
  settings.userName = pairs.valueOf("user");
  settings.backupData = pairs.valueOf("backup") == kFlagSet;
  settings.dataPassword = pairs.valueOf("datapw");
  settings.autoConnect = pairs.valueOf("mem") == kFlagSet;
  return {};
}

Result SaveNetSettings(const std::string& path, const NetSettings& settings) {
  if (!settings.readable) {
    return Result::Failure(path + " could not be read at start-up and is kept as it is");
  }
  for (const std::string* value : {&settings.folder, &settings.password, &settings.userName,
                                   &settings.dataPassword}) {
    if (HoldsLineBreak(*value)) {
      return Result::Failure("a network setting holds a line break; " + path + " is kept as it is");
    }
  }
  return SavePairFile(path, StoredPairs(settings), kNetSettingsBackups, /*secure=*/true);
}

Result SaveNetSettingsIfChanged(const std::string& path, NetSettings& settings) {
  if (!settings.changed) return {};
  Result saved = SaveNetSettings(path, settings);
  if (saved) settings.changed = false;
  return saved;
}

std::string DefaultUserName() {
  for (const char* variable : {"USERNAME", "USER"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

void FillDefaultUserName(NetSettings& settings) {
  if (settings.userName.empty()) settings.userName = DefaultUserName();
}

}  // namespace tarvo
