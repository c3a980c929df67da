#include "monitor/update_info.h"

#include <vector>

#include "store/file_system.h"
#include "store/pair_file.h"

namespace tarvo {
namespace {

struct ListKey {
  std::string_view key;
  std::string UpdateInfo::*field;
};

const std::vector<ListKey>& ListKeys() {
  static const std::vector<ListKey> keys = {
      {"application", &UpdateInfo::application}, {"version", &UpdateInfo::version},
      {"date", &UpdateInfo::date},               {"rollback", &UpdateInfo::rollback},
      {"earliestversion", &UpdateInfo::earliestversion},
      {"url", &UpdateInfo::url},                 {"silent", &UpdateInfo::silent},
      {"signature", &UpdateInfo::signature},
  };
  return keys;
}

bool SameLowered(std::string_view key, std::string_view lower) {
  if (key.size() != lower.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    char c = key[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

}  // namespace

ResultOf<UpdateInfo> UpdateInfoFromPairs(const PairList& pairs) {
  UpdateInfo info;
  bool anyKey = false;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    for (const ListKey& each : ListKeys()) {
      if (!SameLowered(pairs.key(i), each.key)) continue;
      info.*each.field = pairs.value(i);
      anyKey = true;
      break;
    }
  }
  if (!anyKey) return Result::Failure("it holds no key of an update list");
  return info;
}

ResultOf<UpdateInfo> ReadUpdateInfo(const std::string& path) {
  if (!fileSystem().exists(path)) return Result::Failure(path + " does not exist");
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs); !loaded) return loaded;
  ResultOf<UpdateInfo> info = UpdateInfoFromPairs(pairs);
  if (!info) return Result::Failure(path + ": " + info.reason());
  return info;
}

}  // namespace tarvo
