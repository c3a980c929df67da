#include "store/pair_file.h"

#include "store/backups.h"
#include "store/data_file.h"
#include "store/safe_replace.h"

namespace tarvo {

bool LoadPairFile(const std::string& path, PairList& pairs, bool secure) {
  DataFilePtr file = secure ? OpenSecureFile(path, "R", 0) : OpenDataFile(path, "R", 0);
  if (!file) return false;
  ReadPairs(*file, pairs);
  return true;
}

bool SavePairFile(const std::string& path, const PairList& pairs, int backups, bool secure) {
  std::string bytes;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    bytes.append(pairs.key(i)).append("=").append(pairs.value(i)).append("\r\n");
  }
  if (secure) {
    const std::string key = ScrambleKey(path);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<char>(bytes[i] ^ key[i % kScrambleKeyLength]);
    }
    bytes.insert(0, kSecureHeader);
  }
  TakeBackup(path, backups);
  return WriteFileSafely(path, bytes);
}

}  // namespace tarvo
